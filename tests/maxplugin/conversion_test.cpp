// Whole conversions through the engine into ZVL 9.0 files, read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "maxplugin/contents.h"
#include "maxplugin/converter.h"
#include "maxplugin/messages.h"
#include "scene_builder.h"
#include "zvlfile/zvlfile.h"

using namespace zvlplay;

namespace {

struct Conversion {
  maxhost::HostInterface ip;
  ZvlPlayConverter converter{ip};
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
      ("maxplugin_conversion_test-" + std::to_string(::getpid()));  // one folder per test process
  std::string path = (dir / "out.zvl").string();
  Conversion() {
    std::filesystem::create_directories(dir);
    converter.options.contents = kContentsGeometry | kContentsAnimation | kContentsHierarchy | kContents16BitGradient;
    converter.options.frames = {0, 1, 2};
    converter.options.lod = PanelLodParameters(0.25f, 2, 1);
  }
  ~Conversion() { std::filesystem::remove_all(dir); }
  int Run() {
    if (converter.CollectNodes() != 0 || converter.BuildMaterialTable() != 0) return -1;
    return converter.Run(path);
  }
};

}  // namespace

TEST(Conversion, BoxesWithHierarchyAndFixPointsBecomeAVersion9File) {
  Conversion c;
  maxhost::HostNode& a = testscene::AddBox(*c.ip.Scene().root, "A");
  maxhost::HostNode& b = testscene::AddBox(a, "B", {4, 0, 0});
  testscene::AddHelper(b, "B_FIXPOINT_0", {0, 1, 0});
  b.material = testscene::Standard("Blue", 0, 0, 1);
  a.track.positions = {{0, Point3(0, 0, 0)}, {2 * 160, Point3(2, 0, 0)}};
  ASSERT_EQ(c.Run(), 0) << c.converter.lastError;

  ZvlDatabasePtr db(ZvlReadDatabaseFile(c.path.c_str()));
  ASSERT_TRUE(db) << ZvlGetErrorText();
  EXPECT_FLOAT_EQ(db->version, 9.0f);
  EXPECT_STREQ(db->sceneName, msg::UnnamedScene);
  ASSERT_EQ(db->objectCount, 2);
  EXPECT_EQ(db->frameCount, 3);
  EXPECT_STREQ(db->objectNames[1], "B");
  ASSERT_TRUE(db->links);
  EXPECT_EQ(db->links[0].parents[0], -1);
  EXPECT_EQ(db->links[1].parents[0], 0);
  EXPECT_TRUE(db->colorTable);
  EXPECT_FALSE(db->palette);
  EXPECT_NEAR(db->animation[0].locations[3 * 1], 1.0f, 1e-4);

  // Two levels each; the box without fix points has the one-byte trailer in
  // both parts, the other carries its fix point.
  for (int i = 0; i < 2; ++i) {
    std::vector<VoxPartView> parts;
    ASSERT_TRUE(VoxListParts(db->geometry[i].voxObject, size_t(db->geometry[i].totalSize), parts));
    ASSERT_EQ(parts.size(), 2u);
    for (const VoxPartView& part : parts) {
      const std::vector<VoxFixPoint> fix = VoxFixPoints(part);
      if (i == 0) {
        EXPECT_TRUE(fix.empty());
        EXPECT_EQ(part.length - size_t(part.head.trailerOffset), 1u);
      } else {
        ASSERT_EQ(fix.size(), 1u);
      }
    }
  }
}

TEST(Conversion, FailuresAreReportedOnceAndWriteNothing) {
  Conversion c;
  maxhost::HostNode& a = testscene::AddBox(*c.ip.Scene().root, "A");
  std::static_pointer_cast<maxhost::GeomObject>(a.object)->mesh.faces.clear();
  std::vector<std::string> shown;
  c.converter.onError = [&](const char* text) { shown.push_back(text); };
  EXPECT_EQ(c.Run(), -1);
  EXPECT_EQ(shown, (std::vector<std::string>{std::string(msg::NoFaces) + " A"}));
  EXPECT_FALSE(std::filesystem::exists(c.path));

  shown.clear();
  std::static_pointer_cast<maxhost::GeomObject>(a.object)->mesh = testscene::Cube()->mesh;
  c.path = (c.dir / "no such folder" / "out.zvl").string();
  EXPECT_EQ(c.Run(), -1);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("to write"), std::string::npos);
}
