#include "maxplugin/preview_window.h"

#include <QCoreApplication>
#include <QPainter>

#include "maxplugin/viewer_messages.h"

namespace zvlplay {

PreviewWindow::PreviewWindow(QWidget* owner, int x, int y, int width, int height)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint) {
  setWindowTitle(msg::PreviewTitle);
  setGeometry(x, y, width, height);
  setFixedSize(width, height);
  backing_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB888);
  backing_.fill(Qt::black);
}

void PreviewWindow::Plot(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  if (x < 0 || y < 0 || x >= backing_.width() || y >= backing_.height()) return;
  uchar* pixel = backing_.scanLine(y) + 3 * x;
  pixel[0] = r, pixel[1] = g, pixel[2] = b;
  update(x, y, 1, 1);
}

void PreviewWindow::Clear() {
  backing_.fill(Qt::black);
  update();
}

void PreviewWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, backing_);
}

void PreviewConverter::GetPreviewSize(int& width, int& height) {
  width = kPreviewWidth;
  height = kPreviewHeight;
}

int PreviewConverter::PlotPoint(int x, int z, const uint8_t rgb[3]) {
  // Points come relative to the grid's centre.
  if (preview_) preview_->Plot(x + kPreviewWidth / 2, z + kPreviewHeight / 2, rgb[0], rgb[1], rgb[2]);
  return stopFlag.load();
}

int PreviewConverter::ClearPreview() {
  if (preview_) preview_->Clear();
  return 0;
}

}  // namespace zvlplay
