// The viewer's keys, playback stepping and delay, measurements, and combining
// files whose objects are listed in another order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "maxplugin/viewer_messages.h"
#include "maxplugin/viewer_state.h"

using namespace zvlplay;

TEST(ViewerState, KeysSendTheirCommandsInEitherCase) {
  EXPECT_EQ(ViewerCommandForKey('d'), ViewerCommand::MaximalRate);
  EXPECT_EQ(ViewerCommandForKey('F'), ViewerCommand::Faster);
  EXPECT_EQ(ViewerCommandForKey('s'), ViewerCommand::Slower);
  EXPECT_EQ(ViewerCommandForKey('t'), ViewerCommand::MeasureFrameRate);
  EXPECT_EQ(ViewerCommandForKey('R'), ViewerCommand::MeasureRendering);
  EXPECT_EQ(ViewerCommandForKey(ViewerKey::Add), ViewerCommand::StepForward);
  EXPECT_EQ(ViewerCommandForKey(ViewerKey::Subtract), ViewerCommand::StepBack);
  EXPECT_EQ(ViewerCommandForKey(ViewerKey::Space), ViewerCommand::Pause);
  EXPECT_EQ(ViewerCommandForKey(ViewerKey::PageDown), ViewerCommand::PageDown);
  EXPECT_EQ(ViewerCommandForKey('x'), -1);
  int saveAs = 0;
  for (const ViewerMenuItem& item : kViewerMenu)
    if (item.id == 40004) saveAs = item.command;
  EXPECT_EQ(saveAs, ViewerCommand::SaveAs);
}

TEST(ViewerState, SteppingAndDelay) {
  ViewerPlayback p;
  p.frameCount = 5;
  p.frame = 4;
  p.Command(ViewerCommand::StepForward);  // playing: nothing
  EXPECT_EQ(p.frame, 4);
  p.Command(ViewerCommand::Pause);
  p.Command(ViewerCommand::StepForward);
  EXPECT_EQ(p.frame, 0);
  p.Command(ViewerCommand::StepBack);
  EXPECT_EQ(p.frame, 4);

  p.Command(ViewerCommand::Faster);
  EXPECT_EQ(p.delayMs, 0);
  p.Command(ViewerCommand::Slower);
  p.Command(ViewerCommand::Slower);
  EXPECT_EQ(p.delayMs, 20);
  p.Command(ViewerCommand::Faster);
  EXPECT_EQ(p.delayMs, 10);
  p.Command(ViewerCommand::MaximalRate);
  EXPECT_EQ(p.delayMs, 0);

  // Ticks: within the delay nothing; a paused tick keeps the frame.
  p.delayMs = 50;
  p.lastFrameTime = 1000;
  EXPECT_FALSE(p.Tick(1040));
  EXPECT_TRUE(p.Tick(1050));
  EXPECT_EQ(p.frame, 4);
  p.Command(ViewerCommand::Pause);
  EXPECT_TRUE(p.Tick(1100));
  EXPECT_EQ(p.frame, 0);

  p.StartMeasuring(0, true);
  for (int i = 1; i < kMeasuredFrames; ++i) ASSERT_FALSE(p.FrameDrawn(uint32_t(i * 10)));
  const auto rate = p.FrameDrawn(2000);
  ASSERT_TRUE(rate);
  EXPECT_EQ(*rate, "50.00 (f/s)");
  EXPECT_FALSE(p.measuring || p.measuringHidden);
}

TEST(ViewerState, CombiningPairsObjectsByName) {
  ZvlDatabasePtr first(ZvlReadDatabaseFile(VIEWER_SAMPLE));
  ZvlDatabasePtr second(ZvlReadDatabaseFile(VIEWER_SAMPLE));
  ASSERT_TRUE(first && second) << ZvlGetErrorText();
  const int n = first->objectCount;
  ASSERT_GE(n, 2);
  ASSERT_GE(first->frameCount, 2);
  // The second file lists the objects in reverse order, and each one's
  // animation is marked by its first location.
  for (int i = 0; i < n / 2; ++i) {
    std::swap(second->objectNames[i], second->objectNames[n - 1 - i]);
    std::swap(second->animation[i], second->animation[n - 1 - i]);
    std::swap(second->geometry[i], second->geometry[n - 1 - i]);
  }
  for (int i = 0; i < n; ++i) second->animation[i].locations[0] = 1000.0f + float(i);
  const ObjectGeometry geometry0 = first->geometry[0];
  std::string error;
  ASSERT_EQ(CombineDatabases(*first, *second, 1, error), 0) << error;
  for (int i = 0; i < n; ++i) EXPECT_EQ(first->animation[i].locations[0], 1000.0f + float(n - 1 - i)) << i;
  EXPECT_EQ(first->geometry[0].voxObject, geometry0.voxObject);

  // Geometry from the second: object 0 takes the same-named object's.
  const uint8_t* named0 = second->geometry[n - 1].voxObject;
  ASSERT_EQ(CombineDatabases(*first, *second, 0, error), 0) << error;
  EXPECT_EQ(first->geometry[0].voxObject, named0);

  // A name that is missing, and counts that differ, change nothing.
  second->objectNames[0][0] = '#';
  EXPECT_EQ(CombineDatabases(*first, *second, 1, error), -1);
  EXPECT_EQ(error, msg::AnimationObjectNotFound);
  EXPECT_EQ(CombineDatabases(*first, *second, 0, error), -1);
  EXPECT_EQ(error, msg::GeometryObjectNotFound);
  second->objectCount = n - 1;
  EXPECT_EQ(CombineDatabases(*first, *second, 1, error), -1);
  EXPECT_EQ(error, msg::AnimationCountMismatch);
  second->objectCount = n;
}

TEST(ViewerState, InfoAndKeyGroups) {
  ZvlBase scene;
  EXPECT_EQ(ViewerInfoText(scene), msg::NoFileLoaded);
  ASSERT_EQ(ZvlSetup(&ZvlDefaultIoFunctions()), 0);
  ASSERT_EQ(scene.load(VIEWER_SAMPLE), 0) << ZvlGetErrorText();
  const std::string info = ViewerInfoText(scene);
  EXPECT_NE(info.find("Number of parts     : " + std::to_string(scene.database()->objectCount) + "\n"), std::string::npos);
  EXPECT_NE(info.find("Number of frames    : " + std::to_string(scene.database()->frameCount) + "\n"), std::string::npos);

  ViewerCamera camera;
  ViewerControls controls;
  controls.Fit(scene, camera);
  const ZvlBox box = scene.sceneBox(0, 1.0f);
  const float e = std::max({box.max[0] - box.min[0], box.max[1] - box.min[1], box.max[2] - box.min[2]});
  EXPECT_NEAR(camera.azimuth, -0.7853982f, 1e-6);
  EXPECT_NEAR(camera.distance, 19 * e, 1e-3 * e);
  EXPECT_NEAR(scene.state().worldOffset[2], -box.min[2], 1e-5);
  // The scene's middle at frame 0 lands in the middle of the picture.
  const float middle[3] = {0, 0, camera.targetHeight};
  float screen[3];
  ASSERT_TRUE(camera.Project(middle, screen));
  EXPECT_NEAR(screen[0], 320.5f, 0.01f);
  EXPECT_NEAR(screen[1], 240.5f, 0.01f);
  controls.Key(ViewerCommand::End, scene, camera);
  EXPECT_NEAR(camera.distance, 19 * e + 0.25f * e, 1e-3 * e);
  controls.group = ViewerGroup::Shadow;
  EXPECT_TRUE(scene.state().shadowsOn);
  controls.Key(ViewerCommand::Home, scene, camera);
  EXPECT_FALSE(scene.state().shadowsOn);
  controls.group = ViewerGroup::Rotation;
  controls.Key(ViewerCommand::Home, scene, camera);  // angle 2 (beta): row 3 starts with -sin beta
  EXPECT_NEAR(scene.state().worldMatrix[6], -std::sin(kViewerAngleStep), 1e-6);
}
