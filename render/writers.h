// The WriterSet: the per-pixel routines of the renderer, chosen once per
// handler by processor, pixel size and depth convention.
//
// Splat writers walk one chain of Moves and keep the nearest TileWord per
// tile cell. Positions are 8.8 fixed point, x in the low and y in the high
// half of one uint32, so one addition moves both; the cell is the two
// integer parts (an 8-bit x and an 8-bit y), so a splat can never address
// outside the tile. Depth is a 16.16 accumulator (low 8 bits always 0).
//
// Compositors move the tile's words into the frame through a depth test;
// the caller has already cut their rectangles to the clip rectangle, which
// lies inside the buffer, so they write only there. Equal depths: a tile
// word wins over a stored depth only when strictly nearer.
#pragma once

#include <cstdint>

#include "render/tile.h"

namespace zvl::render {

// StepTable: everything a splat looks up by a Move's first byte (MoveCode
// << 3 | NormalIndex bits 10..8), so that the byte indexes each table
// directly: one load per value and no shift or mask per 3D pixel. Each
// code's steps are repeated for its eight bytes; codes 26..31 step by zero.
inline constexpr int StepTableEntries = 256;
struct StepTable {
  uint32_t xy[StepTableEntries];  // packed xy step: xstep + (ystep << 16)
  uint32_t dz[StepTableEntries];  // 16.16 depth step
  // The ShadeTable row advanced by the byte's three NormalIndex bits (as
  // NormalIndex bits 10..8 << 8): indexed by the Move's second byte.
  const uint16_t* shade[StepTableEntries];
  uint64_t packed[StepTableEntries];  // xy | dz << 32, for the packed writers
};
// The table from the entries per MoveCode (xy in the low, depth step in the
// high half) and the ShadeTable row of the draw.
inline void ExpandStepTable(const uint64_t perCode[32], const uint16_t* shadeRow, StepTable& table) {
  for (int b = 0; b < StepTableEntries; ++b) {
    const uint64_t entry = perCode[b >> 3];
    table.xy[b] = uint32_t(entry);
    table.dz[b] = uint32_t(entry >> 32);
    table.shade[b] = shadeRow + ((b & 7) << 8);
    table.packed[b] = entry;
  }
}

struct SplatJob {
  uint32_t* tile = nullptr;        // the tile's 65536 words
  const uint8_t* moves = nullptr;  // count Moves of 3 bytes
  int32_t count = 0;
  const StepTable* steps = nullptr;
  const uint16_t* shadeRow = nullptr;  // ShadeTable row (as shade << 8) + 89 - Z, by NormalIndex (packed writers)
  uint32_t position = 0;               // 8.8 x | 8.8 y << 16 of the start point
  uint32_t depth = 0;                  // 16.16 depth of the start point
  uint32_t offset1 = 0, offset2 = 0;   // three-point: packed offsets of the d1 and d2 points
};

// One compositing call. Tile rectangle and screen rectangle are already cut
// to the clip rectangle.
struct CompositeJob {
  uint32_t* tile = nullptr;
  void* color = nullptr;   // colour buffer, first pixel of row 0
  int32_t colorPitch = 0;  // pixels
  uint16_t* depth = nullptr;
  int32_t depthPitch = 0;             // entries
  const void* colorTable = nullptr;   // ColorIndex -> pixel value
  const void* shadowTable = nullptr;  // pixel value -> shadowed pixel value
  ZvlRect cells;                      // 1:1: the tile cells to copy (cell (x0, y0) to screen (left, top))
  int left = 0, top = 0;              // 1:1: screen position of cells (x0, y0)
  // Magnified and doubled: the screen rectangle to fill (x0..x1, y0..y1) and,
  // per screen pixel, the tile cell: column = (tx0 + (sx - x0) * step) >> 32,
  // clamped to cells.x1 (rows alike).
  ZvlRect screen;
  uint64_t tx0 = 0, ty0 = 0, step = 0;  // 32.32 tile coordinates
};

}  // namespace zvl::render

// Declared in render.h; the handler points at one of these.
struct WriterSet {
  void (*threePointSplat)(const zvl::render::SplatJob& job);
  void (*onePointSplat)(const zvl::render::SplatJob& job);
  void (*coverageSplat)(const zvl::render::SplatJob& job);
  void (*clearTileRect)(uint32_t* tile, const ZvlRect& cells);
  void (*resolveTile)(uint32_t* tile, const ZvlRect& cells, const void* colorTable);
  void (*composite)(const zvl::render::CompositeJob& job);           // 1:1, empties the words it reads
  void (*compositeMagnified)(const zvl::render::CompositeJob& job);  // resolved words, leaves them
  void (*compositeDoubled)(const zvl::render::CompositeJob& job);    // 2 x 2 blocks, leaves the words
  void (*shadowComposite)(const zvl::render::CompositeJob& job);     // empties the words it reads
  void (*shadowCompositeMagnified)(const zvl::render::CompositeJob& job);
  void (*shadowCompositeDoubled)(const zvl::render::CompositeJob& job);
};

namespace zvl::render {

const WriterSet* FindWriterSet(ZvlWriterSetKind kind, int pixelSize, bool inverted);

// The splat writers of the two sets (for tests and benchmarks).
void PlainOnePointSplat(const SplatJob& job);
void PlainThreePointSplat(const SplatJob& job);
void PlainCoverageSplat(const SplatJob& job);
void PackedOnePointSplat(const SplatJob& job);
void PackedThreePointSplat(const SplatJob& job);
void PackedCoverageSplat(const SplatJob& job);
void ClearTileRect(uint32_t* tile, const ZvlRect& cells);

// Cell of a packed 8.8 position.
inline uint32_t TileCell(uint32_t position) { return ((position >> 8) & 0xFFu) | ((position >> 16) & 0xFF00u); }

}  // namespace zvl::render
