// The plain splat writers: position and depth in two 32-bit registers.
//
// Per Move the three bytes are read one by one and every lookup is indexed
// by a byte as it stands (StepTable by byte 0, its shade row pointer by byte
// 0 and then by byte 1), so the only arithmetic per 3D pixel is the two
// additions, the cell address and the TileWord. Moves are taken four per
// turn of the loop.
#include <cstring>

#include "render/writers.h"

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

// Steps through the job's Moves and calls point(position, depth, ColorIndex)
// for each 3D pixel.
template <class Point>
[[gnu::always_inline]] inline void WalkMoves(const SplatJob& job, Point&& point) {
  if (job.count <= 0) return;
  const StepTable& table = *job.steps;
  uint32_t position = job.position, depth = job.depth;
  auto step = [&](const uint8_t* move) {
    const uint32_t head = move[0];
    position += table.xy[head];
    depth += table.dz[head];
    point(position, depth, uint16_t(table.shade[head][move[1]] | move[2]));
  };
  const uint8_t* move = job.moves;
  const uint8_t* const end = move + 3 * size_t(job.count);
  for (; end - move >= 12; move += 12) {
    step(move);
    step(move + 3);
    step(move + 6);
    step(move + 9);
  }
  for (; move != end; move += 3) step(move);
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
    const uint32_t word = TileWordOf(depth, colorIndex);
    KeepNearest(tile, TileCell(position + offset2), word);
    KeepNearest(tile, TileCell(position), word);
    KeepNearest(tile, TileCell(position + offset1), word);
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
