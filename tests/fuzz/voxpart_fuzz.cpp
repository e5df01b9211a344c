// Feeds arbitrary bytes to the voxel part check as a VoxObject block; every
// block it accepts is walked completely, and what the walk sees must stay
// inside the block. The seeds are parts and joined objects written by
// VoxBuildPart and VoxJoinParts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "zvlfile/voxpart.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy, so that a read past the end is caught even when the
  // fuzzer's buffer is larger.
  auto block = std::make_unique<uint8_t[]>(size ? size : 1);
  if (size) std::memcpy(block.get(), data, size);
  const uint8_t* begin = block.get();
  const uint8_t* end = begin + size;

  std::vector<VoxPartView> parts;
  if (!VoxListParts(begin, size, parts)) return 0;
  if (parts.empty() || parts.size() > size_t(VoxMaxParts)) std::abort();
  for (const VoxPartView& part : parts) {
    if (part.bytes < begin || part.length > size_t(end - part.bytes)) std::abort();
    int64_t pixels = 0;
    VoxChainCursor cursor(part);
    VoxChainView chain;
    while (cursor.next(chain)) {
      const uint8_t* movesEnd = chain.moves + size_t(chain.count) * VoxMoveSize;
      if (chain.moves < part.bytes + VoxHeadSize || movesEnd > part.bytes + part.head.trailerOffset) std::abort();
      pixels += chain.count;
    }
    if (pixels != part.head.pixelCount) std::abort();
    uint32_t sum = 0;
    VoxWalkPart(part, [&](const VoxPixel& p) { sum += uint32_t(p.x + p.y + p.z + p.normal + p.color); });
    const std::vector<VoxFixPoint> fix = VoxFixPoints(part);
    if (fix.size() > size_t(VoxMaxFixPoints)) std::abort();
    // A part whose moves pass the renderer's rule walks without an unused code.
    if (VoxCheckMoves(part) && !VoxWalkPart(part, [](const VoxPixel&) {})) std::abort();
    (void)sum;
  }
  return 0;
}
