// The tables the palette builder makes and the voxelizer reads while a scene
// converts: the palette range, the ZorvelPalette and ColorTable16 blocks, and
// the three material tables.
#pragma once

#include "zvlfile/database.h"

#include <cstdint>
#include <vector>

class Material;

struct PaletteTables {
  uint8_t start = 1, end = 0;  // the palette range; start > end when empty
  int paletteLength = 0;       // L = end - start + 1, palette columns 0 .. L-1
  int flatCount = 0;           // F, flat columns L .. L+F-1
  // True when the palette came from a file (ACT or ZVL) and belongs in the
  // database; false with no palette file, whose palette chunk is not written.
  bool hasPalette = false;
  ZorvelPalette palette;       // colours of start .. end, the 8-bit shade table
  ColorTable16 colorTable;     // the 24 RGB555 shades of every column

  // One entry per material index of the scene.
  std::vector<Material*> materials;   // the Material, or null once dropped
  std::vector<int32_t> redirection;   // itself, an equal material's index, or -1 (unused)
  std::vector<int32_t> flatColumn;    // the column of a flat material, else -1
};

// The material that stands for this index after merging: the end of its
// redirection chain, or -1 for an unused or unknown index.
int ResolveMaterial(const PaletteTables& tables, int materialIndex);

// The entry of start .. end nearest to (r, g, b) in RGB, as an absolute
// palette index; among equally near entries the first. With an empty range
// (no palette file) there is nothing to search and the answer is 0.
int NearestPaletteEntry(const PaletteTables& tables, float r, float g, float b);

// The column of a 3D pixel: for a true colour (rgbOrNull), its nearest
// palette entry minus start; for null, the flat column of the material after
// following its redirections. With an empty palette range a true colour gets
// the flat column whose shade 21 is nearest to it, or 0 when there is no
// flat column either. -1 for a material index outside the scene or one that
// leads to no flat column.
int ColourIndex(const PaletteTables& tables, const uint8_t* rgbOrNull, int materialIndex);

// Shade 21 of a column, each 5-bit channel widened to a byte (<< 3); the
// colour previews use it.
void FlatPreviewColour(const PaletteTables& tables, int column, uint8_t rgb[3]);
