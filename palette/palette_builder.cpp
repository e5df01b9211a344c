// The palette builder: material tables, usage, merging, palette sources,
// columns and the 8-bit shade table.
#include "palette/palette.h"

#include <cstring>

void GetPaletteRgb(const PaletteTables& tables, uint8_t destination[768]) {
  std::memcpy(destination, tables.palette.colors, 768);
}
