#include "player/start_picture.h"

#include "zvlfile/le.h"

#include <algorithm>
#include <cstdlib>

namespace zvplay {
namespace {

// Fields of the BMP file header and its BITMAPINFOHEADER.
constexpr size_t OffSignature = 0;
constexpr size_t OffPixelData = 10;
constexpr size_t OffInfoSize = 14;
constexpr size_t OffWidth = 18;
constexpr size_t OffHeight = 22;
constexpr size_t OffBitCount = 28;
constexpr size_t OffCompression = 30;
constexpr size_t OffPalette = 54;
constexpr size_t PaletteEntries = 256;
constexpr size_t PaletteBytes = PaletteEntries * 4;  // B, G, R, reserved
constexpr int32_t MaxSide = 16384;

}  // namespace

bool DrawStartPicture(std::span<const uint8_t> bmp, const ImageView16& image) {
  if (bmp.size() < OffPalette + PaletteBytes) return false;
  const uint8_t* p = bmp.data();
  if (p[OffSignature] != 'B' || p[OffSignature + 1] != 'M') return false;
  if (zvl::le::u32(p + OffInfoSize) < 40 || zvl::le::u16(p + OffBitCount) != 8 ||
      zvl::le::u32(p + OffCompression) != 0)
    return false;
  const int32_t width = zvl::le::i32(p + OffWidth);
  const int32_t storedHeight = zvl::le::i32(p + OffHeight);
  if (width <= 0 || width > MaxSide || storedHeight == 0 || storedHeight < -MaxSide || storedHeight > MaxSide)
    return false;
  const bool topDown = storedHeight < 0;
  const size_t height = size_t(std::abs(storedHeight));
  const size_t stride = (size_t(width) + 3) & ~size_t(3);
  const size_t dataOffset = zvl::le::u32(p + OffPixelData);
  if (dataOffset > bmp.size() || stride * height > bmp.size() - dataOffset) return false;

  uint16_t colors[PaletteEntries];
  for (size_t i = 0; i < PaletteEntries; ++i) {
    const uint8_t* e = p + OffPalette + 4 * i;
    colors[i] = PackPixel(e[2], e[1], e[0], image.format);
  }

  const size_t rows = std::min(height, size_t(std::max(image.height, 0)));
  const size_t columns = std::min(size_t(width), size_t(std::max(image.width, 0)));
  for (size_t y = 0; y < rows; ++y) {
    const size_t stored = topDown ? y : height - 1 - y;
    const uint8_t* src = p + dataOffset + stored * stride;
    uint16_t* dst = image.pixels + y * size_t(image.pitch);
    for (size_t x = 0; x < columns; ++x) dst[x] = colors[src[x]];
  }
  return true;
}

}  // namespace zvplay
