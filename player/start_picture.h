// The start picture shown until a file is open: an 8-bit BMP (the Qt
// resource "FirstScr") drawn through its palette into the output image.
#pragma once

#include "player/pixel_format.h"

#include <cstdint>
#include <span>

namespace zvplay {

// Draws the BMP's pixels, converted through its palette to the image's
// format, from the image's top-left corner where they fit. Rows are placed
// top first whichever order the file stores them in. Returns false (drawing
// nothing) when the bytes are not an uncompressed 8-bit BMP whose header,
// palette and pixel rows all lie inside them.
bool DrawStartPicture(std::span<const uint8_t> bmp, const ImageView16& image);

}  // namespace zvplay
