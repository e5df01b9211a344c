#include "palette/material_source.h"

MaterialSource::~MaterialSource() = default;
