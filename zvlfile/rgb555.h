// The 5-5-5 colour packing of 16-bit colour tables and pictures:
// bits 14..10 red, 9..5 green, 4..0 blue, bit 15 unused.
#pragma once

#include <cstdint>

// 8-bit channels to RGB555: each channel keeps its top five bits.
constexpr uint16_t ZvlPackRgb555(unsigned r, unsigned g, unsigned b) {
  return uint16_t((((r & 0xFFu) >> 3) << 10) | (((g & 0xFFu) >> 3) << 5) | ((b & 0xFFu) >> 3));
}

struct ZvlRgb8 {
  uint8_t r, g, b;
};

// RGB555 to 8-bit channels: each five-bit channel shifted up by three.
constexpr ZvlRgb8 ZvlUnpackRgb555(uint16_t v) {
  return ZvlRgb8{uint8_t(((v >> 10) & 0x1F) << 3), uint8_t(((v >> 5) & 0x1F) << 3), uint8_t((v & 0x1F) << 3)};
}

static_assert(ZvlPackRgb555(255, 255, 255) == 0x7FFF);
static_assert(ZvlPackRgb555(8, 16, 24) == ((1 << 10) | (2 << 5) | 3));
static_assert(ZvlUnpackRgb555(0x7FFF).r == 248 && ZvlUnpackRgb555(0x7FFF).b == 248);
