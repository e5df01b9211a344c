// The SplatTile shared by every handler of the process, and the process-wide
// state of the renderer that lives beside it.
#pragma once

#include <cstdint>

#include "render/render_internal.h"

namespace zvl::render {

inline constexpr int TileSize = 256;
inline constexpr int TileWords = TileSize * TileSize;
// A TileWord: depth << 16 | shade << 8 | palette index; smaller is nearer.
inline constexpr uint32_t TileEmpty = 0xFFFF0000u;

// 256 x 256 TileWords, row-major (row = y), and the rectangle of cells the
// current splat may have touched. Between draw calls every word is empty
// and the dirty rectangle is empty.
struct SplatTile {
  uint32_t words[TileWords];
  ZvlRect dirty;
};

// The tile, or null when no handler is alive.
SplatTile* CurrentTile();

}  // namespace zvl::render
