#include "player/zvplay_view.h"

#include "player/player_engine.h"

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QImage::Format ImageFormat(zvplay::PixelFormat format) {
  return format == zvplay::PixelFormat::Rgb565 ? QImage::Format_RGB16 : QImage::Format_RGB555;
}

}  // namespace

CZvPlayView::CZvPlayView(zvplay::PlayerEngine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
}

QByteArray CZvPlayView::startPicture() {
  QFile file(QStringLiteral(":/METAFILE/FirstScr"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

int CZvPlayView::virtualKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_PageUp: return ZvlKey::PageUp;
    case Qt::Key_PageDown: return ZvlKey::PageDown;
    case Qt::Key_End: return ZvlKey::End;
    case Qt::Key_Home: return ZvlKey::Home;
    case Qt::Key_Left: return ZvlKey::Left;
    case Qt::Key_Up: return ZvlKey::Up;
    case Qt::Key_Right: return ZvlKey::Right;
    case Qt::Key_Down: return ZvlKey::Down;
    case Qt::Key_R: return zvplay::KeyFreeze;
    default:
      if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return zvplay::KeyDigit0 + (qtKey - Qt::Key_0);
      return 0;
  }
}

void CZvPlayView::attachEngine() {
  picture_ = QImage(size(), ImageFormat(engine_.format()));
  picture_.fill(Qt::black);
  const QByteArray bmp = startPicture();
  engine_.attach(width(), height(),
                 std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bmp.constData()), size_t(bmp.size())));
}

void CZvPlayView::showImage(const ZvlRect& rect) {
  if (rect.empty() || picture_.isNull()) return;
  CameraView& view = engine_.view();
  // The engine's pixels as an image; no copy is made.
  const QImage source(reinterpret_cast<const uchar*>(view.pixels()), view.width(), view.height(),
                      qsizetype(view.pitch()) * 2, ImageFormat(engine_.format()));
  const QRect area = QRect(rect.x0, rect.y0, rect.width, rect.height) & source.rect() & picture_.rect();
  if (area.isEmpty()) return;
  QPainter painter(&picture_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(area.topLeft(), source, area);
  painter.end();
  update(area);
}

void CZvPlayView::paintEvent(QPaintEvent* event) {
  if (!engine_.attached()) attachEngine();
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect area = event->rect();
  painter.fillRect(area, Qt::black);
  painter.drawImage(area.topLeft(), picture_, area & picture_.rect());
}

void CZvPlayView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!engine_.attached() || width() < 1 || height() < 1) return;
  QImage resized(size(), ImageFormat(engine_.format()));
  resized.fill(Qt::black);
  picture_ = resized;
  engine_.resize(width(), height());
}

void CZvPlayView::keyPressEvent(QKeyEvent* event) {
  const int key = virtualKey(event->key());
  if (key == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  engine_.keyDown(key);
}

void CZvPlayView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint p = event->position().toPoint();
    engine_.mousePress(p.x(), p.y());
  }
}

void CZvPlayView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) {
    const QPoint p = event->position().toPoint();
    engine_.mouseMove(p.x(), p.y());
  }
}

void CZvPlayView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) engine_.mouseRelease();
}
