// The viewer's logic without a window: its commands, the keys and menu items
// that send them, playback (frame, pause, frame delay), the measurements, the
// five key groups acting on the scene and camera, combining two files, and
// the info text. The window (viewer_window.h) draws and shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "maxplugin/viewer_camera.h"
#include "render/render.h"
#include "zvlfile/zvlfile.h"

namespace zvlplay {

// The commands the menu, the keys and the loop send.
namespace ViewerCommand {
inline constexpr int Load = 0, Tick = 1, Paint = 2, MeasureFrameRate = 4, MeasureRendering = 5;
inline constexpr int Left = 6, Right = 7, Up = 8, Down = 9, Home = 10, End = 11;
inline constexpr int GroupCamera = 12, GroupLight = 13, GroupShadow = 14, GroupPosition = 15, GroupRotation = 16;
inline constexpr int Pack = 17, Fill = 18, Stretch = 19, Default = 20, Background = 21, ShadowColor = 22, SaveAs = 23;
inline constexpr int PageUp = 24, PageDown = 25, Slower = 26, Faster = 27, MaximalRate = 28, Pause = 29;
inline constexpr int StepForward = 30, StepBack = 31;
}  // namespace ViewerCommand

// Menu items that are not commands.
inline constexpr int kViewerInfoBox = -2, kViewerHelpBox = -3, kViewerAboutBox = -4, kViewerExit = -5;

struct ViewerMenuItem {
  const char* menu;
  const char* text;
  int id;
  int command;  // a ViewerCommand or one of the boxes above
};
// The "ZVL_PLAY" menu, in order.
extern const ViewerMenuItem kViewerMenu[16];

// Virtual-key codes the window translates its keys into.
namespace ViewerKey {
inline constexpr int Space = 0x20, PageUp = 0x21, PageDown = 0x22, End = 0x23, Home = 0x24;
inline constexpr int Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Add = 0x6B, Subtract = 0x6D;
}  // namespace ViewerKey
// The command of a key (letters in either case), or -1.
int ViewerCommandForKey(int virtualKey);

inline constexpr int kViewerWidth = 640, kViewerHeight = 480;
inline constexpr uint16_t kViewerBackground = 0x1699;  // (40, 164, 200) in 5-5-5
inline constexpr uint16_t kViewerShadow = 0x05F4;      // (12, 124, 164)
inline constexpr float kViewerAngleStep = 0.09817477f; // pi / 32
inline constexpr int kMeasuredFrames = 100;

enum class ViewerGroup { Camera, Light, Shadow, Position, Rotation };

// Playback and measurements.
class ViewerPlayback {
 public:
  int frame = 0, frameCount = 1;
  bool paused = false;
  int delayMs = 0;
  uint32_t lastFrameTime = 0;
  bool measuring = false, measuringHidden = false;
  int measuredFrames = 0;
  uint32_t measureStart = 0;

  // A tick at time now (ms): false when the frame delay has not passed;
  // else the frame moves on unless paused.
  bool Tick(uint32_t now);
  // Space, D, F, S, numeric-pad + and -. False for other commands.
  bool Command(int command);
  void StartMeasuring(uint32_t now, bool hidden);
  // Counts a drawn frame while measuring; after 100 frames the rate text
  // ("%3.2f (f/s)") and measuring stops.
  std::optional<std::string> FrameDrawn(uint32_t now);
};

// The key groups over a loaded scene and its camera.
class ViewerControls {
 public:
  ViewerGroup group = ViewerGroup::Camera;
  float lightAzimuth = 0, lightElevation = 0;
  float shadowA = 0, shadowB = 0;
  float rotation[3] = {0, 0, 0};

  // Fits scene and camera (ViewerFit); the Camera group becomes active.
  void Fit(ZvlBase& scene, ViewerCamera& camera);
  // A direction key of the active group. False when the group ignores it.
  bool Key(int command, ZvlBase& scene, ViewerCamera& camera);
};

// The world matrix of rotation angles (alpha, beta, gamma), row by row.
void ViewerRotationMatrix(const float angles[3], float m[9]);

// Combining: mode 1 gives `first` the animation of the same-named objects of
// `second`, mode 0 their geometry (and second's colour table and flags).
// 0, or -1 with the message.
int CombineDatabases(ZorvelDatabase& first, ZorvelDatabase& second, int mode, std::string& error);

// The "ZVL-file info" text of a loaded scene.
std::string ViewerInfoText(const ZvlBase& scene);

}  // namespace zvlplay
