// Feeds arbitrary bytes to the ZVL reader; whatever it accepts must walk
// cleanly, write back, and read again.
#include "zvlfile/le.h"
#include "zvlfile/zvlfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZvlMemoryStream input(data, size);
  ZvlDatabasePtr db(ZvlReadDatabase(ZvlStreamHandle(input)));
  if (!db) return 0;
  long long pixels = 0;
  for (int32_t i = 0; db->geometry && i < db->objectCount; ++i) {
    const ObjectGeometry& g = db->geometry[i];
    if (!g.voxObject) continue;
    std::vector<VoxPartView> parts;
    if (!VoxListParts(g.voxObject, size_t(zvl::le::i32(g.voxObject + 4)), parts)) std::abort();
    for (const VoxPartView& part : parts) {
      VoxWalkPart(part, [&](const VoxPixel& p) { pixels += p.x + p.color; });
      (void)VoxFixPoints(part);
    }
  }
  ZvlMemoryStream output;
  if (ZvlWriteDatabase(ZvlStreamHandle(output), *db) != 0) std::abort();
  ZvlMemoryStream again(output.bytes());
  ZvlDatabasePtr reread(ZvlReadDatabase(ZvlStreamHandle(again)));
  if (!reread || reread->objectCount != db->objectCount || reread->frameCount != db->frameCount) std::abort();
  return pixels == -1 ? 1 : 0;
}
