// Lookups the voxelizer makes while a scene converts: nearest palette entry,
// the column of a 3D pixel, and the preview colour of a column.
#include "palette/palette.h"

#include "zvlfile/rgb555.h"

#include <algorithm>

namespace {

float Distance(const uint8_t* entry, float r, float g, float b) {
  const float dr = float(entry[0]) - r, dg = float(entry[1]) - g, db = float(entry[2]) - b;
  return dr * dr + dg * dg + db * db;
}

// The flat column whose shade 21 is nearest to the colour, or 0 without one.
int NearestFlatColumn(const PaletteTables& tables, float r, float g, float b) {
  const int first = tables.paletteLength;
  const int last = std::min(255, first + tables.flatCount - 1);
  int best = 0;
  float bestDistance = 0;
  for (int c = first; c <= last; ++c) {
    uint8_t rgb[3];
    FlatPreviewColour(tables, c, rgb);
    const float d = Distance(rgb, r, g, b);
    if (c == first || d < bestDistance) {
      best = c;
      bestDistance = d;
    }
  }
  return best;
}

// NearestPaletteEntry for byte channels: integer distances, which are the
// float distances exactly (at most 3 * 255^2), in a loop the compiler can
// vectorise.
int NearestEntryOfBytes(const PaletteTables& tables, const uint8_t* rgb) {
  if (tables.start > tables.end) return 0;
  const int r = rgb[0], g = rgb[1], b = rgb[2];
  int best = tables.start;
  int bestDistance = 1 << 30;
  for (int e = tables.start; e <= tables.end; ++e) {
    const uint8_t* entry = tables.palette.colors[e];
    const int dr = entry[0] - r, dg = entry[1] - g, db = entry[2] - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      best = e;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace

int NearestPaletteEntry(const PaletteTables& tables, float r, float g, float b) {
  if (tables.start > tables.end) return 0;
  int best = tables.start;
  float bestDistance = Distance(tables.palette.colors[tables.start], r, g, b);
  for (int e = tables.start + 1; e <= tables.end; ++e) {
    const float d = Distance(tables.palette.colors[e], r, g, b);
    if (d < bestDistance) {
      best = e;
      bestDistance = d;
    }
  }
  return best;
}

int ResolveMaterial(const PaletteTables& tables, int materialIndex) {
  const size_t count = tables.redirection.size();
  int index = materialIndex;
  // A chain visits each index at most once; a longer walk is a cycle.
  for (size_t steps = 0; steps <= count; ++steps) {
    if (index < 0 || size_t(index) >= count) return -1;
    const int next = tables.redirection[size_t(index)];
    if (next == index) return index;
    index = next;
  }
  return -1;
}

int ColourIndex(const PaletteTables& tables, const uint8_t* rgbOrNull, int materialIndex) {
  if (rgbOrNull) {
    if (tables.start > tables.end) return NearestFlatColumn(tables, rgbOrNull[0], rgbOrNull[1], rgbOrNull[2]);
    return NearestEntryOfBytes(tables, rgbOrNull) - tables.start;
  }
  if (materialIndex < 0 || size_t(materialIndex) >= tables.flatColumn.size()) return -1;
  const int column = tables.flatColumn[size_t(materialIndex)];
  if (column >= 0) return column;
  const int survivor = ResolveMaterial(tables, materialIndex);
  return survivor < 0 ? -1 : tables.flatColumn[size_t(survivor)];
}

void FlatPreviewColour(const PaletteTables& tables, int column, uint8_t rgb[3]) {
  if (column < 0 || column > 255) {
    rgb[0] = rgb[1] = rgb[2] = 0;
    return;
  }
  const ZvlRgb8 c = ZvlUnpackRgb555(tables.colorTable.colors[21 * 256 + column]);
  rgb[0] = c.r;
  rgb[1] = c.g;
  rgb[2] = c.b;
}
