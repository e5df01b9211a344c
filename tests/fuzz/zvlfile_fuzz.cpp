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
  // Names as a user shows them, and every per-frame array to its last
  // entry by the final frame count.
  size_t shown = ZvlNameAsUtf8(db->databaseName).size() + ZvlNameAsUtf8(db->sceneName).size();
  for (int32_t i = 0; i < db->objectCount; ++i) {
    if (db->objectNames) shown += ZvlNameAsUtf8(db->objectNames[i]).size();
    if (db->links && db->links[i].parents) {
      const int32_t entries = ZvlLinkEntries(*db, db->links[i]);
      if (entries > 0) pixels += db->links[i].parents[entries - 1];
    }
    if (db->animation && db->frameCount > 0 && db->animation[i].flags)
      pixels += db->animation[i].flags[db->frameCount - 1];
  }
  ZvlMemoryStream output;
  if (ZvlWriteDatabase(ZvlStreamHandle(output), *db) != 0) std::abort();
  ZvlMemoryStream again(output.bytes());
  ZvlDatabasePtr reread(ZvlReadDatabase(ZvlStreamHandle(again)));
  // A file without objects gets no scene chunk, so a frame count read from
  // one (it describes no animation) is not written back.
  if (!reread || reread->objectCount != db->objectCount ||
      (db->objectCount > 0 && reread->frameCount != db->frameCount))
    std::abort();
  return pixels == -1 && shown == 1 ? 1 : 0;
}
