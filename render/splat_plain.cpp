// The plain splat writers: position and depth in two 32-bit registers.
// Per Move: one StepTable load, one ShadeTable load, one to three compares.
#include <cstring>

#include "render/move_decode.h"
#include "render/writers.h"

namespace zvl::render {
namespace {

// The two 32-bit halves of a StepTable entry, each read straight into an
// addition.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr size_t LowHalf = 4, HighHalf = 0;
#else
constexpr size_t LowHalf = 0, HighHalf = 4;
#endif
inline void Step(const uint64_t* steps, uint32_t head, uint32_t& position, uint32_t& depth) {
  const uint8_t* entry = reinterpret_cast<const uint8_t*>(steps + head);
  uint32_t xy, dz;
  std::memcpy(&xy, entry + LowHalf, 4);
  std::memcpy(&dz, entry + HighHalf, 4);
  position += xy;
  depth += dz;
}

// The TileWord of one Move at the current depth.
inline uint32_t MoveWord(const MoveBits& m, uint32_t depth, const uint16_t* shadeRow) {
  return (depth & 0xFFFF0000u) | shadeRow[m.normal] | m.color;
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
  const uint64_t* const steps = job.steps;
  const uint16_t* const shadeRow = job.shadeRow;
  uint32_t position = job.position, depth = job.depth;
  ForEachMove(job.moves, job.count, [&](const MoveBits& m) {
    Step(steps, m.head, position, depth);
    KeepNearest(tile, TileCell(position), MoveWord(m, depth, shadeRow));
  });
}

void PlainThreePointSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps;
  const uint16_t* const shadeRow = job.shadeRow;
  const uint32_t offset1 = job.offset1, offset2 = job.offset2;
  uint32_t position = job.position, depth = job.depth;
  ForEachMove(job.moves, job.count, [&](const MoveBits& m) {
    Step(steps, m.head, position, depth);
    const uint32_t word = MoveWord(m, depth, shadeRow);
    KeepNearest(tile, TileCell(position + offset2), word);
    KeepNearest(tile, TileCell(position), word);
    KeepNearest(tile, TileCell(position + offset1), word);
  });
}

// Coverage for shadows: the object's depth with ColorIndex 0, no compare.
void PlainCoverageSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps;
  uint32_t position = job.position, depth = job.depth;
  ForEachMove(job.moves, job.count, [&](const MoveBits& m) {
    Step(steps, m.head, position, depth);
    tile[TileCell(position)] = depth & 0xFFFF0000u;
  });
}

}  // namespace zvl::render
