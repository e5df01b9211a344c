// The PNG pictures of the renderer's output.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "render/png_image.h"
#include "zvlfile/io.h"

namespace {

using zvl::render::RgbImage;

TEST(PngImage, ExpandsBothColorModelsToFullRange) {
  const uint16_t pixels555[4] = {0x7FFF, 0x7C00, 0x03E0, 0x0000};
  const RgbImage a = zvl::render::ExpandImage16(pixels555, 4, 4, 1, 0x7C00);
  const std::vector<uint8_t> expected555 = {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 0};
  EXPECT_EQ(a.rgb, expected555);
  const uint16_t pixels565[2] = {0x07E0, 0x8410};  // full green; mid grey
  const RgbImage b = zvl::render::ExpandImage16(pixels565, 2, 2, 1, 0xF800);
  const std::vector<uint8_t> expected565 = {0, 255, 0, 132, 130, 132};
  EXPECT_EQ(b.rgb, expected565);
}

TEST(PngImage, WritesWhatReadsBack) {
  RgbImage image;
  image.width = 7, image.height = 3;
  for (int i = 0; i < 7 * 3 * 3; ++i) image.rgb.push_back(uint8_t(i * 11));
  const std::string path = (std::filesystem::temp_directory_path() / "render_png_test.png").string();
  std::string error;
  ASSERT_TRUE(zvl::render::WritePng(path, image, error)) << error;
  RgbImage back;
  ASSERT_TRUE(zvl::render::ReadPng(path, back, error)) << error;
  EXPECT_EQ(back.width, 7);
  EXPECT_EQ(back.height, 3);
  EXPECT_EQ(back.rgb, image.rgb);
  std::remove(path.c_str());
  EXPECT_FALSE(zvl::render::WritePng("/nonexistent-folder/x.png", image, error));
  EXPECT_FALSE(error.empty());
}

// A write that fails part way leaves the picture that was there.
TEST(PngImage, FailedWriteKeepsThePictureThatWasThere) {
  RgbImage image;
  image.width = 2, image.height = 2;
  image.rgb.assign(12, 40);
  const auto dir = std::filesystem::temp_directory_path() / ("render_png_keep_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "old.png").string();
  std::string error;
  ASSERT_TRUE(zvl::render::WritePng(path, image, error)) << error;
  RgbImage other = image;
  other.rgb.assign(12, 200);
  ZvlIoFunctions failing = ZvlDefaultIoFunctions();
  failing.write = [](ZvlHandle handle, const void* buffer, long count) {
    return ZvlDefaultIoFunctions().write(handle, buffer, count / 2);
  };
  ASSERT_EQ(ZvlInstallIoFunctions(failing), 0);
  const bool written = zvl::render::WritePng(path, other, error);
  ZvlInstallIoFunctions(ZvlDefaultIoFunctions());
  EXPECT_FALSE(written);
  RgbImage back;
  ASSERT_TRUE(zvl::render::ReadPng(path, back, error)) << error;
  EXPECT_EQ(back.rgb, image.rgb);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace
