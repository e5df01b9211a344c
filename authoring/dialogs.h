// The program's small dialogs: the ProgressBox shown while files are read,
// the UnitsDialog, the OrientationDialog of the LightWave page, and the
// ZorvelizationDialog that runs the conversion thread with its step text,
// progress bar, preview and Cancel.
#pragma once

#include "authoring/progress_monitor.h"
#include "authoring/units.h"

#include <QDialog>
#include <QFrame>
#include <QImage>

#include <functional>
#include <thread>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace authoring {

// Modeless: a progress bar and a percentage text; its caption is the step.
class ProgressBox : public QDialog {
  Q_OBJECT
 public:
  explicit ProgressBox(QWidget* parent = nullptr);
  void setCaption(const QString& caption);
  // Sets the bar and the text ("%d%c" with '%').
  void setPercent(int percent);
  QString percentText() const;

 private:
  QProgressBar* bar_;
  QLabel* text_;
};

// "Units per pixel :" with Ok and Cancel. Every change of the text goes
// through UnitsValue's rule; a refused text is replaced by the last valid
// value.
class UnitsDialog : public QDialog {
  Q_OBJECT
 public:
  UnitsDialog(float units, QWidget* parent = nullptr);
  float value() const { return value_.Value(); }
  QLineEdit* edit() const { return edit_; }

 private:
  void textChanged(const QString& text);

  UnitsValue value_;
  QLineEdit* edit_;
};

// "Object orientation": XYZ (code 0) or XZY (code 1); the code is kept
// whichever button closes the dialog.
class OrientationDialog : public QDialog {
  Q_OBJECT
 public:
  OrientationDialog(int code, QWidget* parent = nullptr);
  int code() const { return code_; }

 private:
  int code_;
};

// The preview area: a sunken frame that shows the monitor's picture.
class PreviewArea : public QFrame {
  Q_OBJECT
 public:
  PreviewArea(const ProgressMonitor& monitor, QWidget* parent);
  void refresh();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ProgressMonitor& monitor_;
  QImage picture_;
  uint32_t seenChanges_ = ~0u;
};

// "Zorvelization...": starts the work on its own thread when it opens,
// shows the monitor's step text, progress and preview, sets the abort flag
// on Cancel, and closes once the thread has ended.
class ZorvelizationDialog : public QDialog {
  Q_OBJECT
 public:
  ZorvelizationDialog(ProgressMonitor& monitor, std::function<void()> work, std::function<void()> abort,
                      QWidget* parent = nullptr);
  ~ZorvelizationDialog() override;

  QPushButton* cancelButton() const { return cancel_; }
  QString stepText() const;
  int progressValue() const;

  // Runs `call` on the user-interface thread and waits for it (message boxes
  // the conversion thread shows are owned by this dialog).
  void runOnWindowThread(const std::function<void()>& call);

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;  // Escape and Cancel: abort, close when the thread ends

 private slots:
  void workFinished();
  void poll();

 private:
  ProgressMonitor& monitor_;
  std::function<void()> work_;
  std::function<void()> abort_;
  std::thread thread_;
  bool started_ = false;
  QLabel* step_;
  QProgressBar* bar_;
  PreviewArea* preview_;
  QPushButton* cancel_;
  QTimer* timer_;
};

}  // namespace authoring
