// Procedural voxel scenes for the bundled sample and for test and fuzz seeds:
// simple shapes turned into chains of neighbouring 3D pixels, a palette of
// colour ramps with its shade tables, and a short animation.
#pragma once

#include "zvlfile/zvlfile.h"

#include <vector>

namespace samples {

// The surface 3D pixels of a shape as chains of neighbours (greedy walk).
enum class Shape { Ball, Box, Ring };
std::vector<std::vector<VoxPixel>> shapeChains(Shape shape, int radius, int firstColumn, int columns);

// A VoxObject with `levels` parts: the shape at radius, radius/2, ...
std::vector<uint8_t> shapeObject(Shape shape, int radius, int levels, int firstColumn, int columns,
                                 VoxPartForm form, float pixelSize);

// A palette of four colour ramps (48 columns) with its 8-bit shade table and
// its 16-bit colour table.
void makePalette(ZorvelPalette& palette, ColorTable16& table);

// The bundled sample: three animated objects, two levels each, one linked
// to another. Frames: `frames`.
ZvlDatabasePtr makeSampleScene(int frames, bool streamable);

}  // namespace samples
