// The colour-table modes of the player: the 16-bit table as loaded ("High
// Color"), the same colours as an 8-bit display would show them ("Index
// Color"), and the table tinted by the light colour. Tables hold 6144
// entries, one per ColorIndex (shade << 8 | palette index).
#pragma once

#include "player/pixel_format.h"

#include <cstdint>
#include <span>

struct ZorvelPalette;

namespace zvplay {

inline constexpr size_t ColorTableEntries = 24 * 256;

// Every entry becomes the palette colour the shade table gives for its
// ColorIndex, packed in `format`.
void BuildIndexColorTable(const ZorvelPalette& palette, PixelFormat format, std::span<uint16_t> out);

// Converts a table between the two pixel formats.
void ConvertColorTable(std::span<const uint16_t> in, PixelFormat from, PixelFormat to, std::span<uint16_t> out);

// Tints `saved` (in `savedFormat`) with the light colour: each entry is
// scaled by the light's brightness |L| / |white|, shifted towards the
// light's hue while keeping its length, and packed in `format`. White light
// leaves every entry as it was.
void TintColorTable(std::span<const uint16_t> saved, PixelFormat savedFormat, Rgb light, PixelFormat format,
                    std::span<uint16_t> out);

}  // namespace zvplay
