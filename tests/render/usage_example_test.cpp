// The usage example at the top of render/render.h, as written there: frame 3
// of a ZVL file as a PNG picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "render/png_image.h"
#include "render/render.h"
#include <unistd.h>

namespace {

bool Fail(const std::string& message) {
  ADD_FAILURE() << message;
  return false;
}

bool RenderFrameThree(const std::string& zvl, const std::string& png) {
  if (ZvlSetup(&ZvlDefaultIoFunctions()) != 0) return Fail(ZvlGetErrorText());
  ZvlBase scene;
  if (scene.load(zvl.c_str()) != 0) return Fail(ZvlGetErrorText());
  CameraView view;
  view.create(640, 480);
  const ZvlRgb8 bg = ZvlDefaultBackground;
  view.fillAll(ZvlPackRgb555(bg.r, bg.g, bg.b));
  scene.setCamera(&view);
  scene.setFrame(3);
  scene.fitToView(ZvlFitFocalDistance, ZvlFitScale);
  scene.render(view.output(), 3);
  const zvl::render::RgbImage picture =
      zvl::render::ExpandImage16(view.pixels(), view.pitch(), view.width(), view.height(), view.redMask());
  std::string error;
  if (!zvl::render::WritePng(png, picture, error)) return Fail(error);
  return true;
}

}  // namespace

TEST(UsageExample, RendersFrameThreeToAPng) {
  const auto dir = std::filesystem::temp_directory_path() / ("render_usage_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string png = (dir / "frame3.png").string();
  ASSERT_TRUE(RenderFrameThree(ZORVEL_SOURCE_DIR "/samples/sample.zvl", png));
  zvl::render::RgbImage picture;
  std::string error;
  ASSERT_TRUE(zvl::render::ReadPng(png, picture, error)) << error;
  EXPECT_EQ(picture.width, 640);
  EXPECT_EQ(picture.height, 480);
  size_t scene = 0;  // pixels that are not the background
  for (size_t i = 0; i < picture.rgb.size(); i += 3) scene += picture.rgb[i + 2] != 255 || picture.rgb[i] != 99;
  EXPECT_GT(scene, 5000u);
  EXPECT_LT(scene, picture.rgb.size() / 3);
  std::filesystem::remove_all(dir);
}
