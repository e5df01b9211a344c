// The VOX converter over arbitrary bytes, writing to memory: it must never
// read out of bounds, crash or hang, and whatever it accepts must come out as
// a ZVL file that the reader accepts too.
#include "vox2zvl/vox2zvl.h"
#include "zvlfile/zvlfile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZvlMemoryStream out;
  const vox2zvl::Status status = vox2zvl::ConvertBytes({data, size}, "fuzz.vox", ZvlStreamHandle(out), nullptr);
  if (!status) return 0;
  ZvlMemoryStream in(out.bytes());
  ZvlDatabasePtr db(ZvlReadDatabase(ZvlStreamHandle(in)));
  if (!db) {
    std::fprintf(stderr, "converted file refused by the reader: %s\n", ZvlGetErrorText());
    std::abort();
  }
  // Every part must also pass the renderer's rule.
  for (int32_t i = 0; db->geometry && i < db->objectCount; ++i) {
    std::vector<VoxPartView> parts;
    const ObjectGeometry& g = db->geometry[i];
    if (!g.voxObject) continue;
    if (!VoxListParts(g.voxObject, size_t(g.totalSize), parts)) std::abort();
    for (const VoxPartView& part : parts)
      if (!VoxCheckMoves(part)) std::abort();
  }
  return 0;
}
