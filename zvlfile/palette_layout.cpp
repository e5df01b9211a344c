#include "zvlfile/palette_layout.h"

#include "zvlfile/le.h"

#include <cstring>

namespace zvl {

namespace {
constexpr size_t ColorsOffset = 2;
constexpr size_t ShadesOffset = 2 + 768;

void encodeHeader(const ZorvelPalette& palette, uint8_t* bytes) {
  bytes[0] = palette.startColor;
  bytes[1] = palette.endColor;
  for (int c = 0; c < 256; ++c)
    for (int k = 0; k < 3; ++k) bytes[ColorsOffset + size_t(c) * 3 + size_t(k)] = palette.colors[c][k];
}

void decodeHeader(const uint8_t* bytes, ZorvelPalette& palette) {
  palette.startColor = bytes[0];
  palette.endColor = bytes[1];
  for (int c = 0; c < 256; ++c)
    for (int k = 0; k < 3; ++k) palette.colors[c][k] = bytes[ColorsOffset + size_t(c) * 3 + size_t(k)];
}
}  // namespace

void encodePalette(const ZorvelPalette& palette, uint8_t* bytes) {
  encodeHeader(palette, bytes);
  for (int s = 0; s < ZvlShadeRows; ++s) std::memcpy(bytes + ShadesOffset + size_t(s) * 256, palette.shades[s], 256);
}

void decodePalette(const uint8_t* bytes, ZorvelPalette& palette) {
  decodeHeader(bytes, palette);
  for (int s = 0; s < ZvlShadeRows; ++s) std::memcpy(palette.shades[s], bytes + ShadesOffset + size_t(s) * 256, 256);
}

void encodeOldPalette(const ZorvelPalette& palette, uint8_t* bytes) {
  encodeHeader(palette, bytes);
  for (int r = 0; r < ZvlOldShadeRows; ++r)
    std::memcpy(bytes + ShadesOffset + size_t(r) * 256, palette.shades[(3 * r + 1) / 2], 256);
}

void decodeOldPalette(const uint8_t* bytes, ZorvelPalette& palette) {
  decodeHeader(bytes, palette);
  for (int s = 0; s < ZvlShadeRows; ++s)
    std::memcpy(palette.shades[s], bytes + ShadesOffset + size_t(2 * s / 3) * 256, 256);
}

void encodeColorTable(const ColorTable16& table, uint8_t* bytes) {
  le::putI16(bytes, table.gradientColors);
  le::putI16(bytes + 2, table.flatMaterials);
  for (int i = 0; i < ZvlShadeRows * 256; ++i) le::put16(bytes + 4 + size_t(i) * 2, table.colors[i]);
}

void decodeColorTable(const uint8_t* bytes, ColorTable16& table) {
  table.gradientColors = le::i16(bytes);
  table.flatMaterials = le::i16(bytes + 2);
  for (int i = 0; i < ZvlShadeRows * 256; ++i) table.colors[i] = le::u16(bytes + 4 + size_t(i) * 2);
}

}  // namespace zvl
