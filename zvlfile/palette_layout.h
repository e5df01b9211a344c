// The byte layouts of the palette entry (6914 bytes, and the older 4866-byte
// layout with 16 shade rows) and of the 16-bit colour table.
#pragma once

#include "zvlfile/database.h"

#include <cstdint>

namespace zvl {

void encodePalette(const ZorvelPalette& palette, uint8_t* bytes);       // ZvlPaletteSize bytes
void decodePalette(const uint8_t* bytes, ZorvelPalette& palette);
// The older layout: new shade row s comes from old row 2s/3 when read; old
// row r is written from new row (3r+1)/2, the first new row that reads it back.
void encodeOldPalette(const ZorvelPalette& palette, uint8_t* bytes);    // ZvlOldPaletteSize bytes
void decodeOldPalette(const uint8_t* bytes, ZorvelPalette& palette);
void encodeColorTable(const ColorTable16& table, uint8_t* bytes);      // ZvlColorTableSize bytes
void decodeColorTable(const uint8_t* bytes, ColorTable16& table);

}  // namespace zvl
