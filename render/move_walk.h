// Walking a chain of Moves in the plain splat writers.
//
// Per Move the three bytes are read one by one and every lookup is indexed
// by a byte as it stands (the StepTable by byte 0, its shade row pointer by
// byte 0 and then by byte 1), so the only arithmetic per 3D pixel is the two
// additions and one or for the ColorIndex. Moves are taken four per turn of
// the loop.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/writers.h"

namespace zvl::render {

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

}  // namespace zvl::render
