// The plain splat writers: position and depth in two 32-bit registers,
// stepped by WalkMoves; per 3D pixel the cell address, the TileWord and one
// to three compares.
#include <cstring>

#include "render/move_walk.h"

namespace zvl::render {
namespace {

// The TileWord of a Move: the integer depth (the high half of the 16.16
// accumulator) over its ColorIndex. The ColorIndex is written into the low
// half in place, which compiles to one 16-bit move where masking and
// combining would take three operations.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr size_t LowHalfOffset = 2;
#else
constexpr size_t LowHalfOffset = 0;
#endif
inline uint32_t TileWordOf(uint32_t depth, uint16_t colorIndex) {
  uint32_t word = depth;
  std::memcpy(reinterpret_cast<uint8_t*>(&word) + LowHalfOffset, &colorIndex, 2);
  return word;
}

// Keeps the smaller word: nearer wins, and at equal depth the smaller
// ColorIndex. Written without a branch: which word wins is data-dependent
// and would be mispredicted about half the time.
inline void KeepNearest(uint32_t* tile, uint32_t cell, uint32_t word) {
  const uint32_t stored = tile[cell];
  tile[cell] = word < stored ? word : stored;
}

}  // namespace

void PlainOnePointSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  WalkMoves(job, [&](uint32_t position, uint32_t depth, uint16_t colorIndex) {
    KeepNearest(tile, TileCell(position), TileWordOf(depth, colorIndex));
  });
}

void PlainThreePointSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint32_t offset1 = job.offset1, offset2 = job.offset2;
  WalkMoves(job, [&](uint32_t position, uint32_t depth, uint16_t colorIndex) {
    // All three cells are read before any is written: where two of them
    // coincide, both writes store the same value (the word is the same), and
    // no read waits for the write just before it.
    const uint32_t word = TileWordOf(depth, colorIndex);
    const uint32_t cell2 = TileCell(position + offset2), cell0 = TileCell(position), cell1 = TileCell(position + offset1);
    const uint32_t stored2 = tile[cell2], stored0 = tile[cell0], stored1 = tile[cell1];
    tile[cell2] = word < stored2 ? word : stored2;
    tile[cell0] = word < stored0 ? word : stored0;
    tile[cell1] = word < stored1 ? word : stored1;
  });
}

// Coverage for shadows: the object's depth with ColorIndex 0, no compare.
void PlainCoverageSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  WalkMoves(job, [&](uint32_t position, uint32_t depth, uint16_t) {
    tile[TileCell(position)] = depth & 0xFFFF0000u;
  });
}

}  // namespace zvl::render
