// The packed splat writers: screen position (low half) and depth (high half)
// travel in one 64-bit value and each Move adds one 64-bit StepTable entry.
// The two halves add as separate 32-bit lanes (a carry out of the position
// never reaches the depth), so every TileWord equals the plain writers'.
#include "render/move_decode.h"
#include "render/writers.h"

namespace zvl::render {
namespace {

constexpr uint64_t LaneCarry = uint64_t(1) << 32;

// Two independent 32-bit additions in one 64-bit one: the carry that the
// low lane passed into bit 32 is taken back out.
inline uint64_t AddLanes(uint64_t a, uint64_t b) {
  const uint64_t sum = a + b;
  return sum - ((a ^ b ^ sum) & LaneCarry);
}

inline uint64_t Pack(uint32_t position, uint32_t depth) { return (uint64_t(depth) << 32) | position; }

inline uint32_t MoveWord(const MoveBits& m, uint64_t packed, const uint16_t* shadeRow) {
  return (uint32_t(packed >> 32) & 0xFFFF0000u) | shadeRow[m.normal] | m.color;
}

inline void KeepNearest(uint32_t* tile, uint32_t cell, uint32_t word) {
  const uint32_t stored = tile[cell];
  tile[cell] = word < stored ? word : stored;
}

}  // namespace

void PackedOnePointSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps->packed;
  const uint16_t* const shadeRow = job.shadeRow;
  uint64_t packed = Pack(job.position, job.depth);
  ForEachMove(job.moves, job.count, [&](const MoveBits& m) {
    packed = AddLanes(packed, steps[m.head]);
    KeepNearest(tile, TileCell(uint32_t(packed)), MoveWord(m, packed, shadeRow));
  });
}

void PackedThreePointSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps->packed;
  const uint16_t* const shadeRow = job.shadeRow;
  const uint32_t offset1 = job.offset1, offset2 = job.offset2;
  uint64_t packed = Pack(job.position, job.depth);
  ForEachMove(job.moves, job.count, [&](const MoveBits& m) {
    packed = AddLanes(packed, steps[m.head]);
    const uint32_t position = uint32_t(packed);
    const uint32_t word = MoveWord(m, packed, shadeRow);
    KeepNearest(tile, TileCell(position + offset2), word);
    KeepNearest(tile, TileCell(position), word);
    KeepNearest(tile, TileCell(position + offset1), word);
  });
}

// Coverage for shadows: the shadow mark depth 65534 with ColorIndex 0. The
// shadow compositors only ask whether a word is empty, so this draws the
// same shadows as the plain coverage writer.
void PackedCoverageSplat(const SplatJob& job) {
  uint32_t* const tile = job.tile;
  const uint64_t* const steps = job.steps->packed;
  uint64_t packed = Pack(job.position, job.depth);
  ForEachMove(job.moves, job.count, [&](const MoveBits& m) {
    packed = AddLanes(packed, steps[m.head]);
    tile[TileCell(uint32_t(packed))] = 0xFFFE0000u;
  });
}

}  // namespace zvl::render
