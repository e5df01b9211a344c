// The batch parser over arbitrary text: it parses or fails with a line and a
// message, never crashes, and what it accepts holds together (every job's
// objects have 1..15 levels with positive units and smoothing in 0..10,
// frame selections stay in the scene).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "maxplugin/batch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zvlplay;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const SceneRange scene{0, 100};
  BatchSettings defaults;
  defaults.frames.range = FrameRange::FromRange(0, 100, 0, 100, 1);
  BatchFile batch;
  BatchError error;
  if (ParseBatch(text, defaults, scene, batch, error, [](const std::string&) { return true; }) != 0) {
    if (error.message.empty() || error.line < 0 || !batch.jobs.empty()) std::abort();
    return 0;
  }
  if (batch.jobs.empty()) std::abort();
  for (const BatchJob& job : batch.jobs) {
    if (job.load) continue;
    if (job.objects.empty()) std::abort();
    if (!job.settings.frames.all && job.settings.frames.range.Count() != 101) std::abort();
    for (const BatchObjectParams& o : job.objects) {
      const LodParameters lod = o.Lod();
      if (o.levels < 1 || o.levels > kMaxLevels || lod.LevelCount() != o.levels ||
          lod.smoothing.size() != size_t(o.levels)) {
        std::fprintf(stderr, "object %s: %d levels\n", o.name.c_str(), o.levels);
        std::abort();
      }
      for (int i = 0; i < o.levels; ++i)
        if (!std::isfinite(lod.units[size_t(i)]) || !(lod.units[size_t(i)] > 0) || lod.smoothing[size_t(i)] < 0 || lod.smoothing[size_t(i)] > kMaxSmoothing)
          std::abort();
    }
  }
  return 0;
}
