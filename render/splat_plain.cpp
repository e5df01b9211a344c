// The plain splat writers: position and depth in two 32-bit registers.
// Per Move: one StepTable load, one ShadeTable load, one to three compares.
#include "render/writers.h"

namespace zvl::render {
namespace {

// The TileWord of one Move at the current depth.
inline uint32_t MoveWord(const uint8_t* move, uint32_t depth, const uint8_t* shadeRow) {
  const uint32_t normal = ((uint32_t(move[0]) & 7u) << 8) | move[1];
  return (depth & 0xFFFF0000u) | (uint32_t(shadeRow[normal]) << 8) | move[2];
}

// Keeps the smaller word: nearer wins, and at equal depth the smaller
// ColorIndex.
inline void KeepNearest(uint32_t* tile, uint32_t cell, uint32_t word) {
  if (word < tile[cell]) tile[cell] = word;
}

}  // namespace

void PlainOnePointSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps;
  const uint8_t* const shadeRow = job.shadeRow;
  uint32_t position = job.position, depth = job.depth;
  const uint8_t* move = job.moves;
  for (int32_t i = job.count; i > 0; --i, move += 3) {
    const uint64_t step = steps[move[0] >> 3];
    position += uint32_t(step);
    depth += uint32_t(step >> 32);
    KeepNearest(tile, TileCell(position), MoveWord(move, depth, shadeRow));
  }
}

void PlainThreePointSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps;
  const uint8_t* const shadeRow = job.shadeRow;
  const uint32_t offset1 = job.offset1, offset2 = job.offset2;
  uint32_t position = job.position, depth = job.depth;
  const uint8_t* move = job.moves;
  for (int32_t i = job.count; i > 0; --i, move += 3) {
    const uint64_t step = steps[move[0] >> 3];
    position += uint32_t(step);
    depth += uint32_t(step >> 32);
    const uint32_t word = MoveWord(move, depth, shadeRow);
    KeepNearest(tile, TileCell(position + offset2), word);
    KeepNearest(tile, TileCell(position), word);
    KeepNearest(tile, TileCell(position + offset1), word);
  }
}

// Coverage for shadows: the object's depth with ColorIndex 0, no compare.
void PlainCoverageSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps;
  uint32_t position = job.position, depth = job.depth;
  const uint8_t* move = job.moves;
  for (int32_t i = job.count; i > 0; --i, move += 3) {
    const uint64_t step = steps[move[0] >> 3];
    position += uint32_t(step);
    depth += uint32_t(step >> 32);
    tile[TileCell(position)] = depth & 0xFFFF0000u;
  }
}

}  // namespace zvl::render
