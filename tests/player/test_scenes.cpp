#include "test_scenes.h"

#include "render/render.h"

#include <gtest/gtest.h>

#include <atomic>
#include <unistd.h>
#include <vector>

namespace zvplay::test {
namespace {

// One chain through every cell of a cube, row by row and layer by layer,
// turning back at each end so that each step is to a neighbour.
std::vector<VoxPixel> SnakeCube(int side) {
  std::vector<VoxPixel> chain;
  const int h = side / 2;
  for (int z = 0; z < side; ++z)
    for (int yi = 0; yi < side; ++yi) {
      const int y = (z % 2 == 0) ? yi : side - 1 - yi;
      for (int xi = 0; xi < side; ++xi) {
        const int x = ((z * side + yi) % 2 == 0) ? xi : side - 1 - xi;
        VoxPixel p;
        p.x = int16_t(x - h);
        p.y = int16_t(y - h);
        p.z = int16_t(z - h);
        p.normal = QuantizeNormal(0.f, 0.f, 1.f);
        p.color = 5;
        chain.push_back(p);
      }
    }
  return chain;
}

}  // namespace

ZvlDatabasePtr MakeScene(const SceneSpec& description) {
  ZvlDatabasePtr db(ZvlCreateDatabase(ZvlStreamable));
  EXPECT_TRUE(db);
  db->version = 8.1f;
  EXPECT_EQ(ZvlSetDatabaseName(*db, "test"), 0);
  EXPECT_EQ(ZvlSetSceneName(*db, "scene"), 0);
  {
    auto palette = std::make_unique<ZorvelPalette>();
    palette->startColor = 1;
    palette->endColor = 200;
    for (int c = 1; c <= 200; ++c) {
      palette->colors[c][0] = uint8_t(c);
      palette->colors[c][1] = uint8_t(200 - c);
      palette->colors[c][2] = 60;
    }
    palette->colors[5][0] = 255;
    palette->colors[5][1] = 0;
    palette->colors[5][2] = 0;
    for (int s = 0; s < ZvlShadeRows; ++s)
      for (int c = 0; c < 256; ++c) palette->shades[s][c] = uint8_t(s == 0 ? 0 : c);
    if (description.palette) {
      EXPECT_EQ(ZvlSetPaletteName(*db, "testpal"), 0);
      EXPECT_EQ(ZvlSetPalette(*db, *palette), 0);
    }
    auto table = std::make_unique<ColorTable16>();
    table->gradientColors = 200;
    ZvlBuildColorTable16(*palette, 8.1f, table->colors);
    EXPECT_EQ(ZvlSetColorTable(*db, *table), 0);
  }
  EXPECT_EQ(ZvlSetObjectCount(*db, description.objects), 0);
  for (int i = 0; i < description.objects; ++i) {
    const std::string name = "object" + std::to_string(i);
    EXPECT_EQ(ZvlSetObjectName(*db, i, name.c_str()), 0);
    if (!description.geometry) continue;
    std::vector<std::vector<uint8_t>> parts;
    for (int level = 0; level < description.levels; ++level) {
      const int side = std::max(description.side >> level, 1);
      std::vector<std::vector<VoxPixel>> chains{SnakeCube(side)};
      std::vector<uint8_t> part;
      EXPECT_TRUE(VoxBuildPart(chains, description.pixelSize * float(1 << level), VoxPartForm::Compact, {}, part));
      parts.push_back(std::move(part));
    }
    std::vector<uint8_t> object;
    EXPECT_TRUE(VoxJoinParts(parts, true, object));
    EXPECT_EQ(ZvlSetObjectGeometry(*db, i, object.data(), object.size()), 0);
  }
  EXPECT_EQ(ZvlAllocAnimation(*db, description.frames), 0);
  for (int i = 0; i < description.objects; ++i) {
    ObjectAnimation& a = db->animation[i];
    for (int f = 0; f < description.frames; ++f) {
      a.locations[3 * f + 0] = 40.0f * float(i) + (i == 0 ? description.step * float(f) : 0.0f);
      a.locations[3 * f + 1] = 0.0f;
      a.locations[3 * f + 2] = 0.0f;
      float* m = a.matrices + 9 * f;
      m[0] = m[4] = m[8] = 1.0f;
    }
  }
  if (description.animatedLinks) {
    for (int i = 0; i < description.objects; ++i) {
      EXPECT_EQ(ZvlAllocObjectLink(*db, i, ZvlLinkAnimated), 0);
      for (int f = 0; f < description.frames; ++f) {
        db->links[i].parents[f] = i == 0 ? -1 : 0;
        db->links[i].pivots[3 * f] = float(f);
      }
    }
  }
  return db;
}

void WriteScene(const std::string& path, const SceneSpec& description) {
  ZvlDatabasePtr db = MakeScene(description);
  ASSERT_TRUE(db);
  ZvlSetWriterVersion(ZvlFormatVersion::V8_1);
  ASSERT_EQ(ZvlWriteDatabaseFile(path.c_str(), *db), 0) << ZvlGetErrorText();
}

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path = std::filesystem::temp_directory_path() /
         ("zvplay_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::filesystem::create_directories(path);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

}  // namespace zvplay::test
