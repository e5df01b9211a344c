// The conversion flow without windows: every sample format end to end, the
// levels, what each option flag changes in the file, the messages, and
// stopping a running conversion.
#include "authoring/messages.h"
#include "authoring/scene_conversion.h"
#include "samples/scene_writers.h"
#include "tests/authoring/test_support.h"
#include "zvlfile/zvlfile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <future>
#include <thread>

namespace {

using authoring::ImportKind;
using authoring::PageFields;
using authoring_test::RecordingReporter;
using authoring_test::TempFolder;
using authoring_test::WindmillFields;

ZvlDatabasePtr Convert(const PageFields& fields, float units, const std::string& out, RecordingReporter& reporter) {
  if (authoring::ConvertPage(fields, units, out, reporter) != 0) return nullptr;
  return ZvlDatabasePtr(ZvlReadDatabaseFile(out.c_str()));
}

std::vector<float> PartSizes(const ObjectGeometry& geometry) {
  std::vector<VoxPartView> parts;
  std::vector<float> sizes;
  if (geometry.voxObject && VoxListParts(geometry.voxObject, size_t(geometry.totalSize), parts))
    for (const VoxPartView& part : parts) sizes.push_back(part.head.pixelSize);
  return sizes;
}

TEST(Conversion, EverySampleFormatGivesTheWindmillInVersion72) {
  const struct {
    ImportKind kind;
    std::vector<std::string> names;
  } cases[] = {
      {ImportKind::Studio3ds, {"tower", "cap", "blades"}},
      {ImportKind::LightWave, {"tower.lwo", "cap.lwo", "blades.lwo"}},
      {ImportKind::AliasRtg, {"tower", "cap", "blades"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WindmillFields(c.kind).scenePath);
    TempFolder folder;
    RecordingReporter reporter;
    ZvlDatabasePtr db = Convert(WindmillFields(c.kind), 0, folder.Path("out.zvl"), reporter);
    ASSERT_TRUE(db) << (reporter.errors.empty() ? "" : reporter.errors.front());
    EXPECT_TRUE(reporter.errors.empty());
    EXPECT_FLOAT_EQ(db->version, 7.2f);
    EXPECT_STREQ(db->databaseName, "windmill");
    EXPECT_STREQ(db->paletteName, "main_p6");
    ASSERT_TRUE(db->palette && db->colorTable);
    EXPECT_EQ(db->palette->startColor, 16);
    EXPECT_EQ(db->palette->endColor, 245);
    EXPECT_EQ(db->frameCount, 24);
    ASSERT_EQ(db->objectCount, 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(db->objectNames[i], c.names[size_t(i)]);
      EXPECT_GT(db->geometry[i].totalSize, 0);
    }
    // The tower slides 4 units between the first and the last frame; the
    // blades turn 15 degrees a frame against the tower.
    const float* first = db->animation[0].locations;
    const float* last = db->animation[0].locations + 3 * 23;
    EXPECT_NEAR(std::hypot(last[0] - first[0], last[1] - first[1], last[2] - first[2]), 4.0, 1e-3);
    const float* blades0 = db->animation[2].matrices;
    const float* blades1 = db->animation[2].matrices + 9;
    double change = 0;
    for (int k = 0; k < 9; ++k) change += std::fabs(blades1[k] - blades0[k]);
    EXPECT_GT(change, 0.1);
  }
}

TEST(Conversion, LevelsAreEachOneAndAHalfTimesCoarser) {
  TempFolder folder;
  RecordingReporter reporter;
  PageFields fields = WindmillFields(ImportKind::Studio3ds);
  fields.levels = 3;
  ZvlDatabasePtr db = Convert(fields, 0.05f, folder.Path("out.zvl"), reporter);
  ASSERT_TRUE(db);
  EXPECT_EQ(PartSizes(db->geometry[1]), (std::vector<float>{0.05f, 0.05f * 1.5f, 0.05f * 1.5f * 1.5f}));
  EXPECT_EQ(authoring::LevelUnits(2, 3), (std::vector<float>{2, 3, 4.5f}));
  EXPECT_EQ(authoring::LevelUnits(1, 40).size(), 16u);
}

TEST(Conversion, EachOptionFlagChangesWhatItSays) {
  struct Case {
    const char* name;
    void (*set)(PageFields&);
    bool palette, colorTable, geometry;
    int frames;
  };
  const Case cases[] = {
      {"all", [](PageFields&) {}, true, true, true, 24},
      // "High color" sets the palette flag as well.
      {"no palette", [](PageFields& f) { f.makePalette = false; }, true, true, true, 24},
      {"no high color", [](PageFields& f) { f.highColor = false; }, true, false, true, 24},
      {"neither", [](PageFields& f) { f.makePalette = f.highColor = false; }, false, false, true, 24},
      {"no geometry", [](PageFields& f) { f.makeGeometry = false; }, true, true, false, 24},
      {"no animation", [](PageFields& f) { f.makeAnimation = false; }, true, true, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    RecordingReporter reporter;
    PageFields fields = WindmillFields(ImportKind::Studio3ds);
    c.set(fields);
    ZvlDatabasePtr db = Convert(fields, 0.1f, folder.Path("out.zvl"), reporter);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->palette != nullptr, c.palette);
    EXPECT_EQ(db->colorTable != nullptr, c.colorTable);
    EXPECT_EQ(db->geometry != nullptr && db->geometry[0].voxObject != nullptr, c.geometry);
    EXPECT_EQ(db->frameCount, c.frames);
    ASSERT_EQ(db->objectCount, 3);
    EXPECT_STREQ(db->objectNames[2], "blades");
  }
}

TEST(Conversion, MessagesAndSilentEnds) {
  // A missing palette file.
  {
    TempFolder folder;
    RecordingReporter reporter;
    PageFields fields = WindmillFields(ImportKind::Studio3ds);
    fields.palettePath = folder.Path("missing.act");
    EXPECT_NE(authoring::ConvertPage(fields, 0.1f, folder.Path("out.zvl"), reporter), 0);
    EXPECT_EQ(reporter.errors, std::vector<std::string>{authoring::msg::PaletteMissed});
    EXPECT_TRUE(folder.Files().empty());
  }
  // "Get from the vue file" with no file: the conversion stops after the
  // read, without a message.
  {
    TempFolder folder;
    RecordingReporter reporter;
    PageFields fields = WindmillFields(ImportKind::Studio3ds);
    fields.animationFromScene = false;
    EXPECT_NE(authoring::ConvertPage(fields, 0.1f, folder.Path("out.zvl"), reporter), 0);
    EXPECT_TRUE(reporter.errors.empty());
    EXPECT_TRUE(folder.Files().empty());
  }
  // Empty required fields end it without a message as well.
  {
    RecordingReporter reporter;
    authoring::SceneConversion conversion(reporter);
    PageFields fields = WindmillFields(ImportKind::Studio3ds);
    fields.palettePath.clear();
    EXPECT_FALSE(conversion.Prepare(fields));
    EXPECT_TRUE(reporter.errors.empty());
  }
  // A material group naming a material the scene lacks: its faces keep
  // material 0 and the conversion goes on.
  {
    TempFolder folder;
    samples::Scene3ds scene = samples::Windmill3ds();
    scene.meshes[1].groupName = "NOWHERE";
    ASSERT_EQ(samples::WriteFileBytes(folder.Path("lost.3ds"), samples::Write3ds(scene)), 0);
    std::filesystem::copy_file(authoring_test::SampleDir() + "/windmill/bricks.bmp", folder.Path("bricks.bmp"));
    RecordingReporter reporter;
    PageFields fields = WindmillFields(ImportKind::Studio3ds);
    fields.scenePath = folder.Path("lost.3ds");
    ZvlDatabasePtr db = Convert(fields, 0.1f, folder.Path("lost.zvl"), reporter);
    ASSERT_TRUE(db);
    EXPECT_EQ(reporter.warnings, std::vector<std::string>{std::string(authoring::msg::MaterialNotFound) + " cap"});
  }
}

TEST(Conversion, StopEndsTheWorkerQuicklyAndLeavesNoOutput) {
  TempFolder folder;
  RecordingReporter reporter;
  std::promise<void> working;
  bool signalled = false;
  reporter.onStage = [&](const std::string&) {
    if (!signalled) working.set_value();
    signalled = true;
  };
  authoring::SceneConversion conversion(reporter);
  ASSERT_TRUE(conversion.Prepare(WindmillFields(ImportKind::Studio3ds)));
  // Fine enough that the conversion takes far longer than a second.
  ASSERT_TRUE(conversion.Setup(0.004f, folder.Path("out.zvl")));
  std::future<int> result = std::async(std::launch::async, [&] { return conversion.Run(); });
  working.get_future().wait();
  conversion.Stop();
  ASSERT_EQ(result.wait_for(std::chrono::seconds(1)), std::future_status::ready);
  EXPECT_NE(result.get(), 0);
  EXPECT_TRUE(reporter.errors.empty());
  EXPECT_TRUE(folder.Files().empty());
}

}  // namespace
