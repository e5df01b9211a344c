// Writes the bundled sample scene, or with --seeds DIR a few small files of
// every format version (seeds for the fuzz targets and tests).
#include "samples/sample_scene.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--seeds") {
    const std::string dir = argv[2];
    const ZvlFormatVersion versions[] = {ZvlFormatVersion::V7_0, ZvlFormatVersion::V7_2, ZvlFormatVersion::V8_1,
                                         ZvlFormatVersion::V9_0};
    int n = 0;
    for (ZvlFormatVersion version : versions)
      for (bool streamable : {false, true}) {
        ZvlDatabasePtr db = samples::makeSampleScene(2, streamable);
        if (!db) return 1;
        // Small objects keep the seeds small.
        for (int i = 0; i < db->objectCount; ++i) {
          const auto bytes = samples::shapeObject(samples::Shape::Ball, 2 + i, 2, i, 4,
                                                  i == 1 ? VoxPartForm::Compact : VoxPartForm::WithZeroWord, 1.0f);
          if (ZvlSetObjectGeometry(*db, i, bytes.data(), bytes.size()) != 0) return 1;
        }
        // Format 7.0 has no colour table; the writer refuses to drop one.
        if (version == ZvlFormatVersion::V7_0) {
          ZvlIo().free(db->colorTable);
          db->colorTable = nullptr;
        }
        ZvlSetWriterVersion(version);
        const std::string path = dir + "/seed" + std::to_string(n++) + ".zvl";
        if (ZvlWriteDatabaseFile(path.c_str(), *db) != 0) {
          std::fprintf(stderr, "make_sample: %s: %s\n", path.c_str(), ZvlGetErrorText());
          return 1;
        }
      }
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample OUT.zvl | make_sample --seeds DIR\n");
    return 2;
  }
  ZvlDatabasePtr db = samples::makeSampleScene(48, true);
  ZvlSetWriterVersion(ZvlFormatVersion::V8_1);
  if (!db || ZvlWriteDatabaseFile(argv[1], *db) != 0) {
    std::fprintf(stderr, "make_sample: %s: %s\n", argv[1], ZvlGetErrorText());
    return 1;
  }
  return 0;
}
