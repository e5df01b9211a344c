#include "player/settings_file.h"
#include "test_scenes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

namespace fs = std::filesystem;
using namespace zvplay;
using zvplay::test::TempDir;

namespace {

SettingsRecord sampleRecord() {
  SettingsRecord r;
  r.background = {1, 2, 3};
  r.shadow = {4, 5, 6};
  r.light = {7, 8, 9};
  for (int i = 0; i < 9; ++i) r.worldMatrix[size_t(i)] = 0.5f * float(i) - 1.0f;
  r.worldOffset = {10.f, -20.f, 30.5f};
  r.elevation = 0.3f;
  r.azimuth = -1.25f;
  r.targetHeight = 12.f;
  r.distance = 32767.f;
  r.distanceStep = 655.34f;
  r.focalDistance = 440.f;
  r.sceneScale = 0.0625f;
  r.shadowsOn = true;
  r.perPointPerspective = 1;
  r.lightDirection = {0.f, 0.f, 1.f};
  r.shadowDirection = {0.3f, 0.3f, -1.f};
  return r;
}

std::vector<uint8_t> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(SettingsFile, LayoutPutsEveryFieldAtItsOffset) {
  const auto bytes = EncodeSettings(sampleRecord());
  ASSERT_EQ(bytes.size(), 124u);
  EXPECT_EQ(bytes[0], 1987 & 0xFF);
  EXPECT_EQ(bytes[1], 1987 >> 8);
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(bytes[4], 1);   // background R
  EXPECT_EQ(bytes[9], 6);   // shadow B
  EXPECT_EQ(bytes[12], 9);  // light B
  float f;
  std::memcpy(&f, &bytes[13 + 4], 4);  // world matrix [1]
  EXPECT_EQ(f, -0.5f);
  std::memcpy(&f, &bytes[49 + 8], 4);  // world offset z
  EXPECT_EQ(f, 30.5f);
  EXPECT_EQ(bytes[61] | bytes[62] | bytes[63], 0);
  std::memcpy(&f, &bytes[84], 4);
  EXPECT_EQ(f, 440.f);
  std::memcpy(&f, &bytes[88], 4);
  EXPECT_EQ(f, 0.0625f);
  EXPECT_EQ(bytes[92], 1);
  EXPECT_EQ(bytes[96], 1);
  std::memcpy(&f, &bytes[112 + 8], 4);
  EXPECT_EQ(f, -1.f);
}

TEST(SettingsFile, FileRoundTripRestoresEveryField) {
  TempDir dir;
  const std::string path = (dir.path / "scene.zsi").string();
  ASSERT_EQ(WriteSettingsFile(path, sampleRecord()), SettingsResult::Ok);
  EXPECT_EQ(fs::file_size(path), 124u);
  SettingsRecord back;
  ASSERT_EQ(ReadSettingsFile(path, back), SettingsResult::Ok);
  EXPECT_EQ(back, sampleRecord());
}

TEST(SettingsFile, ShortOrForeignFilesAreRefusedAndChangeNothing) {
  TempDir dir;
  const auto good = EncodeSettings(sampleRecord());
  const SettingsRecord before = [] {
    SettingsRecord r;
    r.background = {100, 70, 255};
    return r;
  }();

  // Every prefix shorter than the record.
  for (size_t n = 0; n < good.size(); n += 7) {
    SettingsRecord r = before;
    EXPECT_FALSE(DecodeSettings(std::span<const uint8_t>(good.data(), n), r)) << n;
    EXPECT_EQ(r, before);
  }
  // Another magic.
  auto foreign = good;
  foreign[0] ^= 1;
  SettingsRecord r = before;
  EXPECT_FALSE(DecodeSettings(foreign, r));
  EXPECT_EQ(r, before);
  // A camera value that is not a number.
  auto nan = good;
  const float q = std::numeric_limits<float>::quiet_NaN();
  std::memcpy(&nan[76], &q, 4);
  EXPECT_FALSE(DecodeSettings(nan, r));
  EXPECT_EQ(r, before);

  // Through files: short, foreign, missing.
  const std::string shortPath = (dir.path / "short.zsi").string();
  std::ofstream(shortPath, std::ios::binary).write(reinterpret_cast<const char*>(good.data()), 123);
  EXPECT_EQ(ReadSettingsFile(shortPath, r), SettingsResult::ReadError);
  EXPECT_EQ(ReadSettingsFile((dir.path / "none.zsi").string(), r), SettingsResult::OpenError);
  EXPECT_EQ(r, before);
  // Longer files are read by their first 124 bytes.
  const std::string longPath = (dir.path / "long.zsi").string();
  {
    std::ofstream out(longPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(good.data()), long(good.size()));
    out << "trailing";
  }
  EXPECT_EQ(ReadSettingsFile(longPath, r), SettingsResult::Ok);
  EXPECT_EQ(r, sampleRecord());
}

TEST(SettingsFile, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  const fs::path path = dir.path / "scene.zsi";
  ASSERT_EQ(WriteSettingsFile(path.string(), sampleRecord()), SettingsResult::Ok);
  const auto before = readAll(path);
  SettingsRecord other = sampleRecord();
  other.background = {200, 201, 202};
  // A write that falls short part way (a full disk) over the same file.
  ZvlIoFunctions failing = ZvlDefaultIoFunctions();
  failing.write = [](ZvlHandle handle, const void* buffer, long count) {
    return ZvlDefaultIoFunctions().write(handle, buffer, count / 2);
  };
  ASSERT_EQ(ZvlInstallIoFunctions(failing), 0);
  const SettingsResult result = WriteSettingsFile(path.string(), other);
  ZvlInstallIoFunctions(ZvlDefaultIoFunctions());
  EXPECT_EQ(result, SettingsResult::WriteError);
  EXPECT_EQ(readAll(path), before);
  // A folder standing where the file should go is not replaced.
  fs::create_directories(dir.path / "blocked.zsi");
  EXPECT_EQ(WriteSettingsFile((dir.path / "blocked.zsi").string(), sampleRecord()), SettingsResult::WriteError);
  EXPECT_TRUE(fs::is_directory(dir.path / "blocked.zsi"));
  // Nothing is left beside them.
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path)) ++entries;
  EXPECT_EQ(entries, 2u);
}

TEST(SettingsFile, PathReplacesTheLastThreeCharacters) {
  EXPECT_EQ(SettingsPathFor("/data/scene.zvl"), "/data/scene.zsi");
  EXPECT_EQ(SettingsPathFor("/data/SCENE.ZVL"), "/data/SCENE.zsi");
  EXPECT_EQ(SettingsPathFor("abczvl"), "abczsi");
}
