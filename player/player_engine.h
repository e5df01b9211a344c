// The PlayerEngine: everything the player does, without a window. It owns
// the loaded scene (a ZvlBase) and the CameraView (output image, depth
// buffer, orbit camera), keeps the ControlState that the menus and the
// toolbar mirror, runs the EngineCommands, handles keys and mouse drags, and
// renders one frame on every idle pass. The frame window gives it a
// HostCallbacks through which it shows pictures, messages and dialogs.
//
// One engine per process: the renderer's setup, its tile and the file
// layer's state are process-wide.
#pragma once

#include "player/commands.h"
#include "player/frame_timing.h"
#include "player/pixel_format.h"
#include "player/properties.h"
#include "player/settings_file.h"

#include "render/render.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zvplay {

enum class ColorChoice { Background, Shadow, Light };

// The renderer's defaults for an opened scene.
inline constexpr Rgb ToRgb(ZvlRgb8 c) { return Rgb{c.r, c.g, c.b}; }
inline constexpr Rgb DefaultBackground = ToRgb(ZvlDefaultBackground);
inline constexpr Rgb DefaultShadow = ToRgb(ZvlDefaultShadowColor);
inline constexpr Rgb DefaultLight = ToRgb(ZvlDefaultLightColor);
inline constexpr float DefaultFitScale = ZvlFitScale;
inline constexpr float DefaultFocalDistance = ZvlFitFocalDistance;

// Virtual-key codes of the keys the view passes on (besides ZvlKey's).
inline constexpr int KeyDigit0 = 0x30;
inline constexpr int KeyFreeze = 0x52;  // R

// What the frame window does for the engine.
class HostCallbacks {
 public:
  virtual ~HostCallbacks() = default;

  // The frame-rate text for the status bar ("Frame rate = %3.1f").
  virtual void frameRateText(const std::string& text) = 0;
  // A ControlState index was set on or off by the engine itself (playback
  // stopping at the last frame).
  virtual void stateOn(int index) = 0;
  virtual void stateOff(int index) = 0;
  // A scene was opened: add the sizing border, show the file's name.
  virtual void fileLoaded() = 0;
  // Any number of ControlState values changed; menus and toolbar re-read them.
  virtual void statesChanged() {}

  // Copies a rectangle of the output image to the window.
  virtual void showImage(const ZvlRect& rect) = 0;
  // A message box with OK. `detail`, when not empty, is the reason given by
  // the layer below and is shown under the message.
  virtual void showMessage(const char* caption, const char* text, const std::string& detail = {}) = 0;
  // The colour dialog: the chosen colour, or nothing when cancelled.
  virtual std::optional<Rgb> chooseColor(ColorChoice which, Rgb current) = 0;
  // The settings file dialog ("Load Settings" / "Save Settings").
  virtual std::optional<std::string> chooseSettingsFile(bool forSaving, const std::string& suggested) = 0;

  // Milliseconds of a steady clock.
  virtual int64_t nowMs();
  // The debug output (FillZbuffer's reports).
  virtual void debugOutput(const char* text);
};

class PlayerEngine {
 public:
  explicit PlayerEngine(HostCallbacks& host, PixelFormat format = PixelFormat::Rgb555);
  ~PlayerEngine();
  PlayerEngine(const PlayerEngine&) = delete;
  PlayerEngine& operator=(const PlayerEngine&) = delete;

  // --- start-up
  // A file named on the command line: opened at attach.
  void setStartFile(std::string path) { startFile_ = std::move(path); }
  // Attaches to the view: creates the output image of the view's size, sets
  // up the renderer, sets auto repeat, shadows and distortion on, then opens
  // the start file or draws the start picture (an 8-bit BMP) with every
  // state disabled.
  void attach(int width, int height, std::span<const uint8_t> startPicture);
  bool attached() const { return attached_; }

  // --- files
  // Opens a scene (or, while an attach is pending, attaches its animation).
  // False when nothing was opened; the message was shown.
  bool openFile(const std::string& path);
  // Drops a pending attach (the file dialog was cancelled).
  void cancelAttach() { attachPending_ = false; }
  // Writes the scene with its current animation, format 8.1, through a
  // temporary file that replaces `path` only on success.
  bool saveFile(const std::string& path);
  const std::string& filePath() const { return filePath_; }
  const std::string& settingsPath() const { return settingsPath_; }

  // --- commands
  // Runs an EngineCommand; false when refused (no file, frozen) or when it
  // could not be done.
  bool command(EngineCommand code);
  // A menu or toolbar command that the engine handles by itself (transport,
  // key groups, render modes, colours, modes, Default, settings); false
  // when refused or not the engine's.
  bool menuCommand(int commandId);
  bool accepting() const { return scene_ != nullptr && !frozen_; }
  PropertiesRecord properties() const;

  // --- input
  void keyDown(int virtualKey);
  void mousePress(int x, int y);
  void mouseMove(int x, int y);
  void mouseRelease();
  // The view's new size: recreates the image, keeps the camera.
  void resize(int width, int height);

  // --- the frame loop: one pass per idle turn
  void idle();

  // --- state
  int state(int index) const { return controlState_[size_t(index)]; }
  const std::array<int, ControlStateCount>& controlState() const { return controlState_; }
  bool fileOpen() const { return scene_ != nullptr; }
  bool frozen() const { return frozen_; }
  bool attachPending() const { return attachPending_; }
  bool resetRequested() const { return resetRequest_; }
  int frame() const { return frame_; }
  int frameCount() const;
  int lastFrame() const { return frameCount() > 0 ? frameCount() - 1 : 0; }
  void setFrame(int frame);
  ZvlKeyGroup keyGroup() const;
  FrameTiming& timing() { return timing_; }
  const FrameTiming& timing() const { return timing_; }
  const std::string& frameRateStored() const { return frameRateStored_; }
  Rgb background() const { return background_; }
  Rgb shadowColor() const { return shadow_; }
  Rgb lightColor() const { return light_; }
  PixelFormat format() const { return format_; }
  const ZvlRect& previousRect() const { return previousRect_; }

  CameraView& view() { return view_; }
  const CameraView& view() const { return view_; }
  ZvlBase* scene() { return scene_.get(); }
  const ZvlBase* scene() const { return scene_.get(); }
  ImageView16 image();
  std::span<const uint16_t> shadowTable() const { return shadowTable_; }

  // The settings record of the current scene and camera, and applying one.
  SettingsRecord currentSettings() const;
  void applySettings(const SettingsRecord& record);
  // Load and save through a path (what commands 30 and 31 do after their
  // dialogs). False with the message shown.
  bool loadSettingsFrom(const std::string& path);
  bool saveSettingsTo(const std::string& path);

 private:
  void setState(int index, int value);
  void setExclusive(int first, int last, int chosen);
  void enableAllStates();
  void disableAllStates();
  void selectKeyGroup(int index);
  void syncDrawModeStates();
  void stopPlayback();
  bool attachAnimation(const std::string& path);
  bool readScene(const std::string& path, std::unique_ptr<ZvlBase>& base);

  void fillBackground();
  void showAll();
  void drawStartPicture();
  void applyShadowColor();
  void applyLightTint();
  void restoreColorTable();
  bool indexColorTable();
  void fitDefault();
  void fillZbuffer(const ZvlRect* rect);
  uint16_t backgroundPixel() const { return PackPixel(background_, format_); }
  PixelFormat tableFormat() const;

  HostCallbacks& host_;
  PixelFormat format_;
  CameraView view_;
  std::unique_ptr<ZvlBase> scene_;
  std::vector<uint16_t> shadowTable_;
  std::vector<uint8_t> startPicture_;
  std::array<int, ControlStateCount> controlState_{};
  float fitScale_ = DefaultFitScale;
  bool attachPending_ = false;
  bool frozen_ = false;
  bool attached_ = false;
  bool opened_ = false;      // a file has been opened since attach
  bool recreating_ = false;  // the image is being recreated
  bool resetRequest_ = false;
  std::string startFile_;
  std::string filePath_;
  std::string settingsPath_;
  int32_t linkFrames_ = 0;  // frames of the per-frame links the scene was read with
  Rgb background_ = DefaultBackground;
  Rgb shadow_ = DefaultShadow;
  Rgb light_ = DefaultLight;
  ZvlRect previousRect_;
  ZvlRect lastDrawn_;
  FrameTiming timing_;
  std::string frameRateStored_;
  int frame_ = 0;
  bool dragging_ = false;
  int dragX_ = 0, dragY_ = 0;
};

}  // namespace zvplay
