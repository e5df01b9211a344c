// The converter's window: a white 640 x 480 window with the File and Help
// menus, which converts the VOX file the user picks and draws the log of the
// conversion.
#pragma once

#include "vox2zvl/converterlog.h"

#include <QMainWindow>
#include <QString>
#include <QWidget>

namespace vox2zvl {

// Draws the log lines at x = 10, y = 10 + 18 x line index on white.
class LogView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int LeftMargin = 10;
  static constexpr int TopMargin = 10;
  static constexpr int LineHeight = 18;

  LogView(const ConverterLog& log, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ConverterLog& log_;
};

class ConverterWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int Width = 640;
  static constexpr int Height = 480;

  ConverterWindow();

  const ConverterLog& log() const { return log_; }
  LogView* logView() const { return view_; }

  // Converts one VOX file: clears the log, logs every step, and on failure
  // shows the message in the "ERROR" box and then emits fatalError.
  // Returns true when the conversion succeeded.
  bool convert(const QString& path);

 signals:
  // A conversion failed and its message was shown: the program ends.
  void fatalError(const QString& message);

 private slots:
  void chooseAndConvert();
  void showHowTo();
  void showAbout();

 private:
  void buildMenus();

  ConverterLog log_;
  LogView* view_ = nullptr;
};

}  // namespace vox2zvl
