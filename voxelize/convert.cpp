// The whole-scene conversion of a host: the engine's defaults (the plug-in's
// part layout, no palette file). Programs that choose otherwise call
// ConvertScene with their own options.
#include "voxelize/conversion_host.h"
#include "voxelize/voxelize.h"

int ConversionHost::Convert(ZorvelDatabase& database) { return ConvertScene(*this, database, SceneOptions{}); }
