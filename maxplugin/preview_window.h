// "Zorvelation": the window the conversion plots its points into while it
// works. A backing picture keeps the points for repainting; points outside
// the window's size draw nothing. PreviewConverter is the plug-in's converter
// plotting into one.
#pragma once

#include <QImage>
#include <QWidget>

#include "maxplugin/converter.h"

namespace zvlplay {

inline constexpr int kPreviewWidth = 640, kPreviewHeight = 480;

class PreviewWindow : public QWidget {
  Q_OBJECT
 public:
  PreviewWindow(QWidget* owner, int x, int y, int width, int height);
  // One point: first one pending event is handled, then the pixel is set.
  void Plot(int x, int y, uint8_t r, uint8_t g, uint8_t b);
  void Clear();
  const QImage& Backing() const { return backing_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage backing_;
};

class PreviewConverter : public ZvlPlayConverter {
 public:
  PreviewConverter(Interface& ip, PreviewWindow* preview) : ZvlPlayConverter(ip), preview_(preview) {}
  void GetPreviewSize(int& width, int& height) override;
  int PlotPoint(int x, int z, const uint8_t rgb[3]) override;
  int ClearPreview() override;

 private:
  PreviewWindow* preview_;
};

}  // namespace zvlplay
