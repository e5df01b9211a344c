#include "player/color_modes.h"
#include "player/messages.h"
#include "player/player_engine.h"
#include "test_scenes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace zvplay;
using namespace zvplay::test;

namespace {

class FakeHost : public HostCallbacks {
 public:
  struct Message {
    std::string caption, text;
  };
  std::vector<Message> messages;
  std::vector<ZvlRect> shown;
  std::vector<std::string> rates;
  std::vector<int> turnedOn, turnedOff;
  int filesLoaded = 0;
  std::optional<Rgb> colorAnswer;
  std::optional<std::string> fileAnswer;
  std::string debug;
  int64_t now = 100000;

  void frameRateText(const std::string& text) override { rates.push_back(text); }
  void stateOn(int index) override { turnedOn.push_back(index); }
  void stateOff(int index) override { turnedOff.push_back(index); }
  void fileLoaded() override { ++filesLoaded; }
  void showImage(const ZvlRect& rect) override { shown.push_back(rect); }
  void showMessage(const char* caption, const char* text, const std::string&) override {
    messages.push_back({caption, text});
  }
  std::optional<Rgb> chooseColor(ColorChoice, Rgb) override { return colorAnswer; }
  std::optional<std::string> chooseSettingsFile(bool, const std::string& suggested) override {
    suggestedSettings = suggested;
    return fileAnswer;
  }
  std::string suggestedSettings;
  int64_t nowMs() override { return now; }
  void debugOutput(const char* text) override { debug += text; }

  bool lastMessageIs(const char* caption, const char* text) const {
    return !messages.empty() && messages.back().caption == caption && messages.back().text == text;
  }
};

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class EngineTest : public ::testing::Test {
 protected:
  FakeHost host;
  PlayerEngine engine{host};
  TempDir dir;
  std::string scenePath = dir.file("scene.zvl");

  void SetUp() override {
    WriteScene(scenePath, SceneSpec{});
    engine.attach(320, 240, {});
  }
  void open(const std::string& path) { ASSERT_TRUE(engine.openFile(path)) << host.messages.back().text; }
  // Idle passes with the clock moving on `ms` each time.
  void run(int passes, int64_t ms = 5) {
    for (int i = 0; i < passes; ++i) {
      host.now += ms;
      engine.idle();
    }
  }
  uint16_t pixel(int x, int y) { return engine.view().pixels()[size_t(y) * size_t(engine.view().pitch()) + size_t(x)]; }
};

}  // namespace

TEST_F(EngineTest, StartsWithEveryStateDisabledAndRefusesCommands) {
  for (int s : engine.controlState()) EXPECT_EQ(s, StateDisabled);
  EXPECT_FALSE(engine.command(EngineCommand::GoToEnd));
  EXPECT_FALSE(engine.menuCommand(id::Play));
  EXPECT_FALSE(engine.menuCommand(id::KeyLight));
  engine.idle();  // nothing to draw, nothing happens
  EXPECT_EQ(engine.view().width(), 320);
  EXPECT_EQ(engine.view().pitch() % 32, 0);
  EXPECT_GE(engine.view().pitch(), 320);

  open(scenePath);
  EXPECT_EQ(host.filesLoaded, 1);
  EXPECT_EQ(engine.state(state::AutoRepeat), StateOn);
  EXPECT_EQ(engine.state(state::Shadows), StateOn);
  EXPECT_EQ(engine.state(state::Distortion), StateOn);
  EXPECT_EQ(engine.state(state::Stopped), StateOn);
  EXPECT_EQ(engine.state(state::Playing), StateOff);
  EXPECT_EQ(engine.state(state::KeyCamera), StateOn);
  for (int s : engine.controlState()) EXPECT_NE(s, StateDisabled);
  EXPECT_DOUBLE_EQ(engine.timing().targetRate(), 1000.0);
  EXPECT_TRUE(engine.scene()->state().shadowsOn);
}

TEST(EngineStart, DrawsTheStartPictureThroughItsPalette) {
  FakeHost host;
  PlayerEngine engine(host);
  std::ifstream in(ZVPLAY_FIRSTSCR, std::ios::binary);
  const std::vector<uint8_t> bmp{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GT(bmp.size(), 1078u);
  engine.attach(300, 200, bmp);
  // The top-left pixel of the picture is its last stored row's first index.
  const int32_t height = int32_t(bmp[22] | bmp[23] << 8);
  const size_t stride = (size_t(bmp[18] | bmp[19] << 8) + 3) & ~size_t(3);
  const size_t offset = size_t(bmp[10] | bmp[11] << 8);
  const uint8_t index = bmp[offset + size_t(height - 1) * stride];
  const uint8_t* entry = &bmp[54 + 4 * index];
  EXPECT_EQ(engine.view().pixels()[0], PackPixel(entry[2], entry[1], entry[0], PixelFormat::Rgb555));
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0], ZvlMakeRect(0, 0, 299, 199));
  for (int s : engine.controlState()) EXPECT_EQ(s, StateDisabled);
  // Resizing without a file draws it again.
  engine.resize(200, 100);
  EXPECT_EQ(engine.view().pixels()[0], PackPixel(entry[2], entry[1], entry[0], PixelFormat::Rgb555));
}

TEST(EngineStart, OpensTheCommandLineFileAtAttach) {
  FakeHost host;
  PlayerEngine engine(host);
  TempDir dir;
  WriteScene(dir.file("start.zvl"), SceneSpec{});
  engine.setStartFile(dir.file("start.zvl"));
  engine.attach(300, 200, {});
  EXPECT_TRUE(engine.fileOpen());
  EXPECT_EQ(host.filesLoaded, 1);
  EXPECT_EQ(engine.state(state::Playing), StateOff);
}

TEST_F(EngineTest, FrozenDisplayRefusesCommandsButKeepsRendering) {
  open(scenePath);
  run(3);
  engine.keyDown(KeyFreeze);
  ASSERT_TRUE(engine.frozen());
  EXPECT_FALSE(engine.command(EngineCommand::StepForward));
  EXPECT_EQ(engine.frame(), 0);
  // The frame window's own state changes still happen; the engine commands
  // behind them are refused.
  EXPECT_FALSE(engine.menuCommand(id::GoToEnd));
  EXPECT_EQ(engine.frame(), 0);
  EXPECT_FALSE(engine.menuCommand(id::Play));
  EXPECT_EQ(engine.state(state::Playing), StateOn);
  EXPECT_EQ(engine.state(state::Stopped), StateOff);
  EXPECT_FALSE(engine.menuCommand(id::Stop));
  EXPECT_EQ(engine.state(state::Stopped), StateOn);
  EXPECT_TRUE(engine.menuCommand(id::KeyLight));
  EXPECT_EQ(engine.keyGroup(), ZvlKeyGroup::Light);
  const float lightX = engine.scene()->state().light[0];
  engine.keyDown(ZvlKey::Left);  // the arrows act on the group chosen while frozen
  EXPECT_NE(engine.scene()->state().light[0], lightX);
  engine.menuCommand(id::AutoRepeat);
  EXPECT_EQ(engine.state(state::AutoRepeat), StateOff);
  engine.menuCommand(id::Shadows);
  EXPECT_EQ(engine.state(state::Shadows), StateOff);
  EXPECT_TRUE(engine.scene()->state().shadowsOn);  // command 22 refused
  engine.menuCommand(id::Distortion);
  EXPECT_EQ(engine.state(state::Distortion), StateOff);
  EXPECT_EQ(engine.view().camera.perPointPerspective, 1u);  // command 23 refused
  engine.menuCommand(id::Shadows);
  engine.menuCommand(id::Distortion);
  host.shown.clear();
  engine.view().camera.azimuth += 0.3f;  // the picture changes, but is not shown
  engine.view().orbit();
  run(3);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_FALSE(engine.previousRect().empty());
  engine.keyDown(KeyFreeze);
  EXPECT_FALSE(engine.frozen());
  EXPECT_FALSE(host.shown.empty());  // the window catches up at once
  EXPECT_TRUE(engine.command(EngineCommand::StepForward));
  EXPECT_EQ(engine.frame(), 1);
}

TEST_F(EngineTest, StepsWrapAroundAndGoToStartAndEnd) {
  open(scenePath);  // five frames
  EXPECT_TRUE(engine.command(EngineCommand::StepBack));
  EXPECT_EQ(engine.frame(), 4);
  EXPECT_TRUE(engine.command(EngineCommand::StepForward));
  EXPECT_EQ(engine.frame(), 0);
  EXPECT_TRUE(engine.menuCommand(id::StepForward));
  EXPECT_TRUE(engine.menuCommand(id::StepForwardSecond));
  EXPECT_EQ(engine.frame(), 2);
  EXPECT_TRUE(engine.menuCommand(id::GoToEnd));
  EXPECT_EQ(engine.frame(), 4);
  EXPECT_TRUE(engine.menuCommand(id::GoToStart));
  EXPECT_EQ(engine.frame(), 0);
  EXPECT_TRUE(engine.menuCommand(id::StepBack));
  EXPECT_EQ(engine.frame(), 4);
}

TEST_F(EngineTest, SlowFastAndMaximumRateFollowTheMeasuredRate) {
  open(scenePath);
  // Ten frames 100 ms apart: measured 10000 / 900 ms.
  for (int i = 0; i < 10; ++i) engine.timing().frameRendered(1000 + 100 * i);
  const double measured = engine.timing().measuredRate();
  EXPECT_NEAR(measured, 11.111, 0.001);
  EXPECT_TRUE(engine.menuCommand(id::Slow));
  EXPECT_DOUBLE_EQ(engine.timing().targetRate(), measured * 0.9);
  EXPECT_TRUE(engine.menuCommand(id::Fast));
  EXPECT_DOUBLE_EQ(engine.timing().targetRate(), measured * 2.0);
  EXPECT_TRUE(engine.menuCommand(id::MaxRate));
  EXPECT_DOUBLE_EQ(engine.timing().targetRate(), 1000.0);

  // A measured rate of exactly 1.0 (ten frames over ten seconds) or less
  // leaves Slow without effect.
  for (int i = 0; i < 10; ++i) engine.timing().frameRendered(20000 + (i == 9 ? 10000 : 10 * i));
  ASSERT_DOUBLE_EQ(engine.timing().measuredRate(), 1.0);
  EXPECT_TRUE(engine.command(EngineCommand::Slow));
  EXPECT_DOUBLE_EQ(engine.timing().targetRate(), 1000.0);
}

TEST_F(EngineTest, FrameLoopPacesByTheTargetRateAndReportsTheRate) {
  open(scenePath);
  engine.idle();  // the reset request after opening
  EXPECT_FALSE(engine.resetRequested());
  EXPECT_TRUE(engine.menuCommand(id::Play));
  engine.timing().setTargetRate(10.0);  // 100 ms per frame
  run(1, 0);
  EXPECT_EQ(engine.frame(), 1);
  run(9, 10);  // 90 ms later: still the same frame
  EXPECT_EQ(engine.frame(), 1);
  run(1, 10);
  EXPECT_EQ(engine.frame(), 2);
  // Ten rendered frames give a rate in the status bar.
  for (int i = 0; i < 8; ++i) run(1, 100);
  ASSERT_EQ(host.rates.size(), 1u);
  EXPECT_EQ(host.rates[0], "Frame rate = 11.1");
  EXPECT_EQ(engine.frameRateStored(), "Frame Rate = 11.111");
}

TEST_F(EngineTest, PlaybackRepeatsOrStopsAtTheLastFrame) {
  open(scenePath);
  engine.idle();
  EXPECT_TRUE(engine.menuCommand(id::Play));
  EXPECT_EQ(engine.state(state::Playing), StateOn);
  EXPECT_EQ(engine.state(state::Stopped), StateOff);
  run(4);
  EXPECT_EQ(engine.frame(), 4);
  run(1);  // auto repeat is on: back to the first frame, still playing
  EXPECT_EQ(engine.frame(), 0);
  EXPECT_EQ(engine.state(state::Playing), StateOn);

  EXPECT_TRUE(engine.menuCommand(id::AutoRepeat));  // off
  EXPECT_EQ(engine.state(state::AutoRepeat), StateOff);
  run(4);
  EXPECT_EQ(engine.frame(), 4);
  run(1);
  EXPECT_EQ(engine.frame(), 4);
  EXPECT_EQ(engine.state(state::Playing), StateOff);  // the Play button pops up
  EXPECT_EQ(engine.state(state::Stopped), StateOn);
  EXPECT_EQ(host.turnedOn.back(), state::Stopped);
  EXPECT_EQ(host.turnedOff.back(), state::Playing);
  run(3);
  EXPECT_EQ(engine.frame(), 4);

  // Play at the last frame starts again from the first.
  EXPECT_TRUE(engine.menuCommand(id::Play));
  EXPECT_EQ(engine.frame(), 0);

  // Turning auto repeat on at the last frame rewinds and stops.
  EXPECT_TRUE(engine.menuCommand(id::GoToEnd));
  host.turnedOn.clear();
  EXPECT_TRUE(engine.menuCommand(id::AutoRepeat));  // on
  EXPECT_EQ(engine.frame(), 0);
  EXPECT_EQ(engine.state(state::Stopped), StateOn);
  EXPECT_EQ(engine.state(state::Playing), StateOff);
  ASSERT_FALSE(host.turnedOn.empty());
  EXPECT_EQ(host.turnedOn.back(), state::Stopped);
}

TEST_F(EngineTest, FrameLoopErasesThePreviousRectangleAndShowsTheUnion) {
  open(scenePath);
  const uint16_t background = PackPixel(DefaultBackground, PixelFormat::Rgb555);
  EXPECT_EQ(pixel(0, 0), background);
  ASSERT_FALSE(host.shown.empty());  // the background was shown whole at opening
  engine.idle();                     // reset pass: draws nothing
  EXPECT_TRUE(engine.previousRect().empty());
  host.shown.clear();
  run(1);
  const ZvlRect first = engine.previousRect();
  ASSERT_FALSE(first.empty());
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0], first);
  // Something other than the background lies inside the drawn rectangle.
  bool drawn = false;
  for (int y = first.y0; y <= first.y1; ++y)
    for (int x = first.x0; x <= first.x1; ++x) drawn = drawn || pixel(x, y) != background;
  EXPECT_TRUE(drawn);

  // Object 0 moves between frames: the next frame shows the union and the
  // old pixels outside the new rectangle are background again.
  EXPECT_TRUE(engine.command(EngineCommand::GoToEnd));
  run(1);
  const ZvlRect second = engine.previousRect();
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[1], ZvlUniteRect(first, second));
  for (int y = first.y0; y <= first.y1; ++y)
    for (int x = first.x0; x <= first.x1; ++x)
      if (x < second.x0 || x > second.x1 || y < second.y0 || y > second.y1) {
        ASSERT_EQ(pixel(x, y), background) << x << "," << y;
        ASSERT_EQ(engine.view().depth()[size_t(y) * size_t(engine.view().pitch()) + size_t(x)], 0xFFFF);
      }
  EXPECT_TRUE(host.debug.empty());
}

TEST_F(EngineTest, KeyGroupsAreExclusiveAndDriveTheirAdjustment) {
  open(scenePath);
  const float azimuth = engine.view().camera.azimuth;
  engine.keyDown(ZvlKey::Left);
  EXPECT_NEAR(engine.view().camera.azimuth, azimuth + ZvlAngleStep, 1e-6);

  EXPECT_TRUE(engine.menuCommand(id::KeyLight));
  for (int i = state::FirstKeyGroup; i <= state::LastKeyGroup; ++i)
    EXPECT_EQ(engine.state(i), i == state::KeyLight ? StateOn : StateOff);
  const float lightX = engine.scene()->state().light[0];
  const float cameraAzimuth = engine.view().camera.azimuth;
  engine.keyDown(ZvlKey::Left);
  EXPECT_NE(engine.scene()->state().light[0], lightX);
  EXPECT_EQ(engine.view().camera.azimuth, cameraAzimuth);

  EXPECT_TRUE(engine.menuCommand(id::KeyScenePosition));
  EXPECT_EQ(engine.keyGroup(), ZvlKeyGroup::ScenePosition);
  const float offsetX = engine.scene()->state().worldOffset[0];
  engine.keyDown(ZvlKey::Left);
  EXPECT_GT(engine.scene()->state().worldOffset[0], offsetX);

  EXPECT_TRUE(engine.menuCommand(id::KeySceneRotation));
  EXPECT_EQ(engine.keyGroup(), ZvlKeyGroup::ModelRotation);
  EXPECT_TRUE(engine.menuCommand(id::KeyShadow));
  EXPECT_EQ(engine.keyGroup(), ZvlKeyGroup::Shadow);
}

TEST_F(EngineTest, LeftDragRotatesTheModelWhateverTheKeyGroup) {
  open(scenePath);
  ASSERT_EQ(engine.keyGroup(), ZvlKeyGroup::Camera);
  const SceneState before = engine.scene()->state();
  const Camera camera = engine.view().camera;
  engine.mouseMove(10, 10);  // no button held: nothing
  EXPECT_TRUE(std::equal(std::begin(before.worldMatrix), std::end(before.worldMatrix),
                         engine.scene()->state().worldMatrix));
  engine.mousePress(100, 100);
  engine.mouseMove(90, 100);  // to the left: the Right-arrow rotation
  const SceneState after = engine.scene()->state();
  EXPECT_FALSE(std::equal(std::begin(before.worldMatrix), std::end(before.worldMatrix), after.worldMatrix));
  EXPECT_EQ(engine.view().camera.azimuth, camera.azimuth);

  // The same step through the rotation key gives the same matrix.
  PlayerEngine other(host);
  other.attach(320, 240, {});
  ASSERT_TRUE(other.openFile(scenePath));
  other.scene()->rotationKey(ZvlKey::Right);
  for (int k = 0; k < 9; ++k) EXPECT_FLOAT_EQ(other.scene()->state().worldMatrix[k], after.worldMatrix[k]);
  engine.mouseRelease();
  engine.mouseMove(50, 50);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(engine.scene()->state().worldMatrix[k], after.worldMatrix[k]);
}

TEST_F(EngineTest, OpeningRefusesBadFilesAndKeepsTheScene) {
  EXPECT_FALSE(engine.openFile(dir.file("scene.txt")));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::InvalidExtension));
  EXPECT_FALSE(engine.openFile(dir.file("missing.zvl")));
  EXPECT_EQ(host.messages.back().text, msg::ReadingFileError);

  const std::string pure = dir.file("pure.zvl");
  SceneSpec description;
  description.geometry = false;
  WriteScene(pure, description);
  EXPECT_FALSE(engine.openFile(pure));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::NoGeometry));
  EXPECT_FALSE(engine.fileOpen());

  // Upper-case extensions are fine; a failed open afterwards keeps the scene.
  const std::string upper = dir.file("UPPER.ZVL");
  WriteScene(upper, SceneSpec{});
  open(upper);
  const ZvlBase* scene = engine.scene();
  EXPECT_FALSE(engine.openFile(pure));
  EXPECT_EQ(engine.scene(), scene);
  EXPECT_EQ(engine.filePath(), upper);
  EXPECT_EQ(engine.settingsPath(), dir.file("UPPER.zsi"));
}

TEST_F(EngineTest, SettingsRoundTripAndTheFileBesideTheScene) {
  open(scenePath);
  host.colorAnswer = Rgb{10, 20, 30};
  ASSERT_TRUE(engine.menuCommand(id::BackgroundColor));
  engine.keyDown(ZvlKey::Up);
  engine.keyDown(ZvlKey::PageUp);
  ASSERT_TRUE(engine.menuCommand(id::Shadows));  // off
  EXPECT_FALSE(engine.scene()->state().shadowsOn);
  const SettingsRecord saved = engine.currentSettings();
  EXPECT_FALSE(saved.shadowsOn);
  host.fileAnswer = engine.settingsPath();
  ASSERT_TRUE(engine.menuCommand(id::SaveSettings));

  // The next open of the same scene applies the file beside it.
  open(scenePath);
  EXPECT_EQ(engine.currentSettings(), saved);
  EXPECT_EQ(engine.background(), (Rgb{10, 20, 30}));
  EXPECT_EQ(engine.state(state::Shadows), StateOff);
  EXPECT_EQ(pixel(0, 0), PackPixel(Rgb{10, 20, 30}, PixelFormat::Rgb555));

  // Another scene without settings starts from the defaults; loading the
  // saved file brings them over.
  const std::string other = dir.file("other.zvl");
  WriteScene(other, SceneSpec{});
  open(other);
  EXPECT_EQ(engine.background(), DefaultBackground);
  EXPECT_NE(engine.currentSettings(), saved);
  ASSERT_TRUE(engine.menuCommand(id::LoadSettings));
  EXPECT_EQ(engine.currentSettings(), saved);
  EXPECT_TRUE(engine.resetRequested());
}

// The settings dialogs start from the default name, not the scene's file.
TEST_F(EngineTest, SettingsDialogsSuggestTheDefaultName) {
  open(scenePath);
  host.fileAnswer.reset();
  EXPECT_FALSE(engine.menuCommand(id::LoadSettings));
  EXPECT_EQ(host.suggestedSettings, "*.zsi");
  host.suggestedSettings.clear();
  EXPECT_FALSE(engine.menuCommand(id::SaveSettings));
  EXPECT_EQ(host.suggestedSettings, "*.zsi");
}

// A settings file beside the scene places it without a fit; the
// scene-position step is the fitted one at the settings' scale.
TEST_F(EngineTest, SettingsBesideTheSceneReplaceTheFit) {
  open(scenePath);
  const float fittedStep = engine.scene()->positionStep;
  ASSERT_GT(fittedStep, 0.0f);
  SettingsRecord record = engine.currentSettings();
  record.sceneScale *= 2;
  record.elevation = 0.7f;
  ASSERT_EQ(WriteSettingsFile(engine.settingsPath(), record), SettingsResult::Ok);
  open(scenePath);
  EXPECT_EQ(engine.currentSettings(), record);
  EXPECT_FLOAT_EQ(engine.scene()->positionStep, 2 * fittedStep);
  const float x = engine.scene()->state().worldOffset[0];
  engine.menuCommand(id::KeyScenePosition);
  engine.keyDown(ZvlKey::Left);
  EXPECT_FLOAT_EQ(engine.scene()->state().worldOffset[0], x + 2 * fittedStep);
}

TEST_F(EngineTest, DamagedSettingsFilesAreRefusedAndChangeNothing) {
  open(scenePath);
  const SettingsRecord before = engine.currentSettings();
  const auto good = EncodeSettings(before);

  const std::string shortPath = dir.file("short.zsi");
  std::ofstream(shortPath, std::ios::binary).write(reinterpret_cast<const char*>(good.data()), 100);
  host.fileAnswer = shortPath;
  EXPECT_FALSE(engine.menuCommand(id::LoadSettings));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::ReadFileError));

  auto foreign = good;
  foreign[0] = 0xC4;  // 1988
  const std::string foreignPath = dir.file("foreign.zsi");
  std::ofstream(foreignPath, std::ios::binary).write(reinterpret_cast<const char*>(foreign.data()), 124);
  host.fileAnswer = foreignPath;
  host.messages.clear();
  EXPECT_FALSE(engine.menuCommand(id::LoadSettings));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::ReadFileError));

  host.fileAnswer = dir.file("none.zsi");
  EXPECT_FALSE(engine.menuCommand(id::LoadSettings));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::OpenFileError));
  EXPECT_EQ(engine.currentSettings(), before);

  // A damaged file beside the scene is reported and the scene opens with
  // the defaults: fitted, and the whole window filled with the background.
  std::filesystem::copy_file(shortPath, engine.settingsPath());
  host.messages.clear();
  engine.view().fillAll(0x1234);  // the previous picture
  open(scenePath);
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::ReadFileError));
  EXPECT_EQ(engine.background(), DefaultBackground);
  EXPECT_EQ(engine.currentSettings(), before);
  const uint16_t background = PackPixel(DefaultBackground, PixelFormat::Rgb555);
  EXPECT_EQ(pixel(0, 0), background);
  EXPECT_EQ(pixel(319, 239), background);
}

TEST_F(EngineTest, AttachTakesTheAnimationOnlyWhenTheObjectCountsMatch) {
  open(scenePath);  // 2 objects, 5 frames
  const std::string three = dir.file("three.zvl");
  SceneSpec description;
  description.objects = 3;
  description.frames = 7;
  WriteScene(three, description);
  ASSERT_TRUE(engine.command(EngineCommand::AttachPending));
  EXPECT_TRUE(engine.attachPending());
  EXPECT_FALSE(engine.openFile(three));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::AttachMismatch));
  EXPECT_FALSE(engine.attachPending());
  EXPECT_EQ(engine.frameCount(), 5);
  EXPECT_EQ(engine.scene()->database()->animation[0].locations[3], 3.0f);

  const std::string nine = dir.file("nine.anim");  // attaching checks no extension
  description.objects = 2;
  description.frames = 9;
  description.step = 7.0f;
  description.geometry = false;
  WriteScene(nine, description);
  ASSERT_TRUE(engine.command(EngineCommand::GoToEnd));
  ASSERT_TRUE(engine.command(EngineCommand::AttachPending));
  EXPECT_TRUE(engine.openFile(nine));
  EXPECT_EQ(engine.frameCount(), 9);
  EXPECT_EQ(engine.frame(), 0);
  EXPECT_EQ(engine.scene()->database()->animation[0].locations[3], 7.0f);
  EXPECT_EQ(engine.filePath(), scenePath);  // still the same scene
  EXPECT_TRUE(engine.resetRequested());
}

TEST_F(EngineTest, SaveWritesTheAttachedAnimationAndKeepsTheScene) {
  open(scenePath);
  const std::string nine = dir.file("nine.zvl");
  SceneSpec description;
  description.frames = 9;
  description.step = 7.0f;
  WriteScene(nine, description);
  ASSERT_TRUE(engine.command(EngineCommand::AttachPending));
  ASSERT_TRUE(engine.openFile(nine));

  const std::string out = dir.file("out.zvl");
  ASSERT_TRUE(engine.saveFile(out));
  ZvlDatabasePtr written(ZvlReadDatabaseFile(out.c_str()));
  ASSERT_TRUE(written) << ZvlGetErrorText();
  EXPECT_EQ(written->frameCount, 9);
  EXPECT_FLOAT_EQ(written->version, 8.1f);
  EXPECT_EQ(written->objectCount, 2);
  EXPECT_EQ(written->animation[0].locations[3 * 8], 56.0f);
  EXPECT_EQ(written->geometry[0].totalSize, engine.scene()->database()->geometry[0].totalSize);
  // The scene plays on with the attached animation.
  EXPECT_EQ(engine.frameCount(), 9);
  EXPECT_TRUE(engine.command(EngineCommand::GoToEnd));
  EXPECT_EQ(engine.frame(), 8);
  run(2);
}

TEST_F(EngineTest, SaveFitsPerFrameLinksToTheAttachedFrameCount) {
  SceneSpec description;
  description.animatedLinks = true;  // five frames of links
  const std::string linked = dir.file("linked.zvl");
  WriteScene(linked, description);
  open(linked);
  const int32_t* ownParents = engine.scene()->database()->links[1].parents;
  for (int frames : {9, 3}) {
    SceneSpec other;
    other.frames = frames;
    const std::string animation = dir.file("anim" + std::to_string(frames) + ".zvl");
    WriteScene(animation, other);
    ASSERT_TRUE(engine.command(EngineCommand::AttachPending));
    ASSERT_TRUE(engine.openFile(animation));
    const std::string out = dir.file("out" + std::to_string(frames) + ".zvl");
    ASSERT_TRUE(engine.saveFile(out));
    EXPECT_EQ(engine.scene()->database()->links[1].parents, ownParents);  // put back
    ZvlDatabasePtr written(ZvlReadDatabaseFile(out.c_str()));
    ASSERT_TRUE(written) << ZvlGetErrorText();
    ASSERT_EQ(written->frameCount, frames);
    ASSERT_TRUE(written->links);
    for (int f = 0; f < frames; ++f) {
      EXPECT_EQ(written->links[1].parents[f], 0);
      EXPECT_EQ(written->links[1].pivots[3 * f], float(std::min(f, 4)));
    }
  }
}

TEST_F(EngineTest, FailedSaveLeavesTheFileThatWasThere) {
  open(scenePath);
  const auto before = ReadFile(scenePath);
  // Writes fail after a few bytes.
  static const ZvlIoFunctions* installed = nullptr;
  installed = &ZvlDefaultIoFunctions();
  ZvlIoFunctions failing = *installed;
  failing.write = [](ZvlHandle handle, const void* buffer, long count) -> long {
    static long total = 0;
    total += count;
    return total > 64 ? -1 : installed->write(handle, buffer, count);
  };
  ASSERT_EQ(ZvlInstallIoFunctions(failing), 0);
  EXPECT_FALSE(engine.saveFile(scenePath));
  ZvlInstallIoFunctions(*installed);
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::WriteFileError));
  EXPECT_EQ(ReadFile(scenePath), before);
  EXPECT_FALSE(engine.saveFile(dir.file("no/such/folder.zvl")));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionError, msg::WriteFileError));
  EXPECT_EQ(engine.filePath(), scenePath);
}

TEST_F(EngineTest, ColourCommandsAndModes) {
  open(scenePath);
  ZvlBase& scene = *engine.scene();
  std::vector<uint16_t> high(scene.colorTable16().begin(), scene.colorTable16().end());
  ASSERT_EQ(high.size(), ColorTableEntries);
  EXPECT_TRUE(std::equal(high.begin(), high.end(), scene.loadedColorTable().begin()));

  ASSERT_TRUE(engine.menuCommand(id::IndexColor));
  EXPECT_EQ(engine.state(state::IndexColor), StateOn);
  EXPECT_EQ(engine.state(state::HighColor), StateOff);
  std::vector<uint16_t> expected(ColorTableEntries);
  BuildIndexColorTable(*scene.database()->palette, PixelFormat::Rgb555, expected);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), scene.colorTable16().begin()));
  EXPECT_EQ(scene.colorTable16()[(23 << 8) | 5], 0x7C00);  // pure red through the palette

  ASSERT_TRUE(engine.menuCommand(id::HighColor));
  EXPECT_TRUE(std::equal(high.begin(), high.end(), scene.colorTable16().begin()));

  host.colorAnswer = Rgb{255, 0, 0};
  ASSERT_TRUE(engine.menuCommand(id::LightColor));
  TintColorTable(high, PixelFormat::Rgb555, Rgb{255, 0, 0}, PixelFormat::Rgb555, expected);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), scene.colorTable16().begin()));

  host.colorAnswer = Rgb{1, 2, 250};
  ASSERT_TRUE(engine.menuCommand(id::ShadowColor));
  for (uint16_t v : engine.shadowTable()) ASSERT_EQ(v, PackPixel(Rgb{1, 2, 250}, PixelFormat::Rgb555));

  host.colorAnswer = Rgb{0, 255, 0};
  ASSERT_TRUE(engine.menuCommand(id::BackgroundColor));
  EXPECT_EQ(pixel(319, 239), PackPixel(Rgb{0, 255, 0}, PixelFormat::Rgb555));
  host.colorAnswer.reset();  // cancelled: nothing changes
  EXPECT_FALSE(engine.menuCommand(id::BackgroundColor));
  EXPECT_EQ(engine.background(), (Rgb{0, 255, 0}));

  // Default restores the loaded table, level 0 and the fit.
  ASSERT_TRUE(engine.menuCommand(id::IndexColor));
  ASSERT_TRUE(engine.menuCommand(id::Default));
  EXPECT_TRUE(std::equal(high.begin(), high.end(), scene.colorTable16().begin()));
  EXPECT_EQ(engine.state(state::HighColor), StateOn);
  EXPECT_EQ(scene.state().light[2], 1.0f);
  EXPECT_EQ(scene.state().shadowDirection[2], -1.0f);
  EXPECT_EQ(engine.view().camera.focalDistance, 400.0f);

  // Without a palette there is no index colour.
  const std::string bare = dir.file("bare.zvl");
  SceneSpec description;
  description.palette = false;
  WriteScene(bare, description);
  host.messages.clear();
  EXPECT_FALSE(engine.openFile(bare) && engine.menuCommand(id::IndexColor));
  EXPECT_TRUE(host.lastMessageIs(msg::CaptionEngine, msg::NoPalette));
}

TEST_F(EngineTest, RenderModesAndShadowsFollowTheirChecks) {
  open(scenePath);
  EXPECT_EQ(engine.state(state::DrawFill), StateOn);
  ASSERT_TRUE(engine.menuCommand(id::RenderPack));
  EXPECT_EQ(engine.scene()->state().drawMode, DrawMode::Pack);
  EXPECT_EQ(engine.state(state::DrawPack), StateOn);
  EXPECT_EQ(engine.state(state::DrawFill), StateOff);
  ASSERT_TRUE(engine.menuCommand(id::RenderStretch));
  EXPECT_EQ(engine.scene()->state().drawMode, DrawMode::Stretch);
  EXPECT_EQ(engine.state(state::DrawPack), StateOff);
  ASSERT_TRUE(engine.menuCommand(id::Shadows));
  EXPECT_FALSE(engine.scene()->state().shadowsOn);
  ASSERT_TRUE(engine.menuCommand(id::Shadows));
  EXPECT_TRUE(engine.scene()->state().shadowsOn);
  EXPECT_EQ(engine.view().camera.perPointPerspective, 1u);
  ASSERT_TRUE(engine.menuCommand(id::Distortion));
  EXPECT_EQ(engine.state(state::Distortion), StateOff);
  EXPECT_EQ(engine.view().camera.perPointPerspective, 0u);
  // A level key refits, which draws in fill mode again.
  engine.keyDown(KeyDigit0 + 1);
  EXPECT_EQ(engine.scene()->state().drawMode, DrawMode::Fill);
  EXPECT_EQ(engine.state(state::DrawFill), StateOn);
}

TEST_F(EngineTest, PropertiesDescribeTheScene) {
  open(scenePath);
  run(2);
  PropertiesRecord p = engine.properties();
  EXPECT_FLOAT_EQ(p.version, 8.1f);
  EXPECT_FLOAT_EQ(p.unitsPerPixel, 1.0f);
  EXPECT_EQ(p.levels, 2);
  EXPECT_EQ(p.pixelCount, 2 * 6 * 6 * 6);
  EXPECT_EQ(p.frameCount, 5);
  EXPECT_EQ(p.bodyParts, 2);
  EXPECT_EQ(p.paletteName, "testpal");
  EXPECT_GT(p.areaWidth, 0);
  EXPECT_GT(p.size[0], 40.0f);  // the two cubes stand 40 units apart
  EXPECT_EQ(p.cpuType, ZvlGetCpuType());

  engine.keyDown(KeyDigit0 + 1);
  p = engine.properties();
  EXPECT_FLOAT_EQ(p.unitsPerPixel, 2.0f);
  EXPECT_EQ(p.levels, 1);
  EXPECT_EQ(p.pixelCount, 2 * 3 * 3 * 3);
  engine.keyDown(KeyDigit0 + 9);  // beyond the last level: the last
  EXPECT_EQ(engine.properties().levels, 1);
}

TEST_F(EngineTest, ResizingKeepsTheCameraAndRestartsTheMeasurement) {
  open(scenePath);
  engine.keyDown(ZvlKey::Left);
  engine.keyDown(ZvlKey::End);
  const Camera before = engine.view().camera;
  run(3);
  engine.resize(500, 300);
  EXPECT_TRUE(engine.resetRequested());
  EXPECT_EQ(engine.view().width(), 500);
  EXPECT_EQ(engine.view().pitch(), 512);
  EXPECT_EQ(engine.view().camera.azimuth, before.azimuth);
  EXPECT_EQ(engine.view().camera.distance, before.distance);
  EXPECT_EQ(engine.view().camera.viewportWidth, 500);
  EXPECT_EQ(pixel(499, 299), PackPixel(DefaultBackground, PixelFormat::Rgb555));
  engine.idle();
  EXPECT_TRUE(engine.previousRect().empty());
  run(1);
  EXPECT_FALSE(engine.previousRect().empty());
  engine.resize(0, 300);  // minimised: the image stays
  EXPECT_EQ(engine.view().width(), 500);
}
