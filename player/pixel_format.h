// The 16-bit pixel formats of the output image and the conversions between
// 8-bit colour components and packed pixels.
#pragma once

#include <cstdint>

#include "zvlfile/rgb555.h"

namespace zvplay {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// 5-5-5 (red mask 0x7C00) is the player's format; 5-6-5 (red mask 0xF800)
// is used when asked for.
enum class PixelFormat { Rgb555, Rgb565 };

inline constexpr uint16_t RedMask(PixelFormat format) {
  return format == PixelFormat::Rgb565 ? 0xF800 : 0x7C00;
}
inline constexpr uint16_t GreenMask(PixelFormat format) {
  return format == PixelFormat::Rgb565 ? 0x07E0 : 0x03E0;
}
inline constexpr uint16_t BlueMask(PixelFormat) { return 0x001F; }

inline constexpr uint16_t PackPixel(int r, int g, int b, PixelFormat format) {
  if (format == PixelFormat::Rgb565)
    return uint16_t(((unsigned(r) >> 3) << 11) | ((unsigned(g) >> 2) << 5) | (unsigned(b) >> 3));
  return ZvlPackRgb555(unsigned(r), unsigned(g), unsigned(b));
}
inline constexpr uint16_t PackPixel(Rgb c, PixelFormat format) { return PackPixel(c.r, c.g, c.b, format); }

// Components as 8-bit values with the low bits zero (the exact inverse of
// PackPixel for packed values).
inline constexpr Rgb UnpackPixel(uint16_t v, PixelFormat format) {
  if (format == PixelFormat::Rgb565)
    return Rgb{uint8_t(((v >> 11) & 0x1F) << 3), uint8_t(((v >> 5) & 0x3F) << 2), uint8_t((v & 0x1F) << 3)};
  const ZvlRgb8 c = ZvlUnpackRgb555(v);
  return Rgb{c.r, c.g, c.b};
}

}  // namespace zvplay

namespace zvplay {

// A 16-bit image somebody else owns: rows of `pitch` pixels, top row first.
struct ImageView16 {
  uint16_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  PixelFormat format = PixelFormat::Rgb555;
};

}  // namespace zvplay
