// The viewer: plays a ZVL file at 640 x 480 in 16-bit colour through the
// renderer, with the "ZVL_PLAY" menu, the keys, frame delay, measurements,
// "Save as...", the info and help boxes, and background and shadow colours.
// Open returns when the window is closed.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "maxplugin/viewer_state.h"

class QAction;
class QMenuBar;

namespace zvlplay {

class ViewerWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ViewerWindow(QWidget* owner = nullptr);
  ~ViewerWindow() override;

  // Opens the viewer on a file, or on the first file combined with the
  // second (combineMode 1: the second's animation; 0: its geometry), and
  // returns when it is closed: 0, or -1 when the file could not be shown
  // (the message was shown and the window closed).
  static int Open(const std::string& first, const std::string& second, QWidget* owner, int combineMode);

  // Loads (and combines); 0 or -1 after showing the message.
  int Load(const std::string& first, const std::string& second, int combineMode);
  // One command, as the menu, keys and loop send it.
  void Command(int command);
  // Where message boxes go (tests listen here instead).
  std::function<void(const char* caption, const std::string& text, bool error)> showMessage;

  ViewerPlayback& Playback() { return playback_; }
  ViewerControls& Controls() { return controls_; }
  ZvlBase& Scene() { return scene_; }
  CameraView& View() { return view_; }
  ViewerCamera& Camera() { return camera_; }
  QAction* MenuAction(int id) const;
  // Saves the database to path; false after showing the ZvlErrorText.
  bool SaveAs(const std::string& path);

 signals:
  void Closed();

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void Show(const char* caption, const std::string& text, bool error);
  void Render(bool wholePicture);
  void FitScene();
  uint32_t Now() const { return uint32_t(clock_.elapsed()); }

  QMenuBar* menu_;
  QTimer ticks_;
  QElapsedTimer clock_;
  ZvlBase scene_;
  CameraView view_;  // the image and depth buffer
  ViewerCamera camera_;
  ViewerPlayback playback_;
  ViewerControls controls_;
  uint16_t background_ = kViewerBackground;
  ZvlRect previous_{};
  bool running_ = false;
};

}  // namespace zvlplay
