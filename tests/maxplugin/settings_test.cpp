#include "maxplugin/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "maxplugin/contents.h"
#include "maxplugin/messages.h"
#include "maxplugin/start.h"
#include "scene_builder.h"

using namespace zvlplay;

namespace {

PanelSettings Changed() {
  PanelSettings s;
  s.allObjects = false;
  s.timeMode = TimeMode::Frames;
  s.units = 0.25f;
  s.levels = 3;
  s.streamable = true;
  s.endColor = 200;
  s.localFromFrame = true;
  s.localFrame = -4;
  s.frameList = "0,5,10-20";
  s.paletteFile = "pal/main.ZVL";
  s.paletteFileOn = true;
  s.batchInputFile = std::string(255, 'b');
  return s;
}

}  // namespace

TEST(SettingsFile, RoundTripAndTheDefaultLayout) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(EncodeSettings(PanelSettings(), bytes));
  ASSERT_EQ(bytes.size(), 29u * 4 + 6);
  EXPECT_EQ(bytes[0], 1);                   // all objects
  EXPECT_EQ(bytes[5 * 4], 1);               // active time segment
  EXPECT_EQ(bytes[17 * 4], 10);            // start colour (value 18)

  const PanelSettings s = Changed();
  ASSERT_TRUE(EncodeSettings(s, bytes));
  PanelSettings back;
  ASSERT_TRUE(DecodeSettings(bytes.data(), bytes.size(), back));
  EXPECT_FALSE(back.allObjects);
  EXPECT_EQ(back.timeMode, TimeMode::Frames);
  EXPECT_EQ(back.units, 0.25f);
  EXPECT_TRUE(back.streamable);
  EXPECT_EQ(back.localFrame, -4);
  EXPECT_EQ(back.frameList, s.frameList);
  EXPECT_EQ(back.batchInputFile, s.batchInputFile);
  EXPECT_EQ(back.Contents(), kContentsSelectedOnly | kContents8BitGradient | kContents16BitGradient | kContentsGeometry |
                                 kContentsAnimation | kContentsPaletteIsZvl | kContentsStreamable);
}

TEST(SettingsFile, ShortLongOrDamagedFilesChangeNothing) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(EncodeSettings(Changed(), bytes));
  const PanelSettings before;
  std::vector<uint8_t> probe;
  ASSERT_TRUE(EncodeSettings(before, probe));
  for (size_t n = 0; n < bytes.size(); ++n) {
    PanelSettings s;
    EXPECT_FALSE(DecodeSettings(bytes.data(), n, s)) << n;
    std::vector<uint8_t> after;
    ASSERT_TRUE(EncodeSettings(s, after));
    EXPECT_EQ(after, probe) << n;
  }
  auto refused = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> damaged = bytes;
    damaged[at] = value;
    PanelSettings s;
    return !DecodeSettings(damaged.data(), damaged.size(), s) && s.units == 1.0f;
  };
  EXPECT_TRUE(refused(0, 2));        // a switch that is neither 0 nor 1
  EXPECT_TRUE(refused(0, 1));        // all and selected both set
  EXPECT_TRUE(refused(15 * 4, 0));   // 16 levels of detail
  EXPECT_TRUE(refused(16 * 4, 11));  // smoothing 11
  bytes.push_back(0);
  PanelSettings s;
  EXPECT_FALSE(DecodeSettings(bytes.data(), bytes.size(), s));  // trailing byte
}

TEST(SettingsFile, FilesThroughTheTemporaryFileHelper) {
  const auto dir = std::filesystem::temp_directory_path() / "maxplugin_settings_test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "panel.zst").string();
  std::string error;
  ASSERT_EQ(SaveSettingsFile(path, Changed(), error), 0) << error;
  PanelSettings s;
  ASSERT_EQ(LoadSettingsFile(path, s, error), 0);
  EXPECT_EQ(s.levels, 3);

  PanelSettings tooLong;
  tooLong.frameList = std::string(300, '1');
  EXPECT_EQ(SaveSettingsFile(path, tooLong, error), -1);
  EXPECT_EQ(error, msg::ErrorWritingSettings);
  ASSERT_EQ(LoadSettingsFile(path, s, error), 0);  // the old file is untouched

  std::ofstream(path, std::ios::binary | std::ios::trunc) << "short";
  PanelSettings kept;
  EXPECT_EQ(LoadSettingsFile(path, kept, error), -1);
  EXPECT_EQ(error, msg::ErrorReadingSettings);
  EXPECT_EQ(kept.levels, 1);
  EXPECT_EQ(LoadSettingsFile((dir / "missing.zst").string(), kept, error), -1);
  std::filesystem::remove_all(dir);
}

TEST(PanelStart, StreamableNeedsTwoLevelsAndFramesFollowTheTimeMode) {
  PanelSettings s;
  s.levels = 2;
  s.streamable = true;
  s.Normalize();
  EXPECT_TRUE(s.streamable);
  s.levels = 1;
  s.Normalize();
  EXPECT_FALSE(s.streamable);

  const SceneFrames scene{0, 20, 7};
  s.timeMode = TimeMode::ActiveSegment;
  s.everyNth = 10;
  EXPECT_EQ(SelectedFrames(s, scene), (std::vector<int>{0, 10, 20}));
  s.timeMode = TimeMode::Range;
  s.rangeFrom = 5;
  s.rangeTo = 20;
  EXPECT_EQ(SelectedFrames(s, scene), (std::vector<int>{10, 20}));
  s.timeMode = TimeMode::Single;
  EXPECT_EQ(SelectedFrames(s, scene), (std::vector<int>{7}));
  s.timeMode = TimeMode::Frames;
  s.frameList = "3, 18-25 x 40";
  EXPECT_EQ(SelectedFrames(s, scene), (std::vector<int>{3, 18, 19, 20}));
  s.frameList = "90";
  EXPECT_EQ(SelectedFrames(s, scene), (std::vector<int>{0}));  // nothing in range: the first frame
  s.animation = false;
  EXPECT_EQ(SelectedFrames(s, scene), (std::vector<int>{0}));
}

TEST(PanelStart, DefaultsFromTheSceneAndWhereTheResultGoes) {
  maxhost::HostInterface ip;
  maxhost::HostNode& box = testscene::AddBox(*ip.Scene().root, "Box");
  box.rest = ScaleMatrix(Point3(10, 1, 1));  // 20 units wide
  ip.Scene().animRange = {160 * 2, 160 * 40};
  ZvlPlayConverter converter(ip);
  PanelSettings s = Changed();
  ASSERT_EQ(ApplyDefaults(s, ip, converter), 0);
  EXPECT_FLOAT_EQ(s.units, 0.2f);
  EXPECT_FLOAT_EQ(s.unitsStep, 0.02f);
  EXPECT_EQ(s.rangeFrom, 2);
  EXPECT_EQ(s.rangeTo, 40);
  EXPECT_EQ(s.localFrame, 2);
  EXPECT_TRUE(s.allObjects);

  EXPECT_EQ(std::filesystem::path(OutputPath(s, ip)).filename(), msg::TemporaryFileName);
  s.outputFileOn = true;
  s.outputFile = "/tmp/out.zvl";
  EXPECT_EQ(OutputPath(s, ip), "/tmp/out.zvl");

  ViewerRequest v = DecideViewer(s, "out.zvl");
  EXPECT_TRUE(v.open && v.second.empty());
  s.playFileOn = true;
  s.playFile = "merge.zvl";
  v = DecideViewer(s, "out.zvl");
  EXPECT_EQ(v.second, "merge.zvl");
  s.playFileOn = false;
  s.gradient8 = s.gradient16 = false;
  EXPECT_FALSE(DecideViewer(s, "out.zvl").open);
}
