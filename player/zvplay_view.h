// CZvPlayView: the view window. It attaches the engine the first time it
// draws itself, passes keys and left-button drags to it, and shows the
// engine's output image: the rectangles the engine asks for are copied,
// through a QImage over the engine's own pixels, onto the window's picture.
#pragma once

#include "render/render.h"

#include <QImage>
#include <QWidget>

namespace zvplay {
class PlayerEngine;
}

class CZvPlayView : public QWidget {
  Q_OBJECT
 public:
  explicit CZvPlayView(zvplay::PlayerEngine& engine, QWidget* parent = nullptr);

  // Copies a rectangle of the engine's image to the window's picture.
  void showImage(const ZvlRect& rect);
  // What the window shows now.
  const QImage& picture() const { return picture_; }
  // The bytes of the start picture (the resource "FirstScr").
  static QByteArray startPicture();
  // The virtual-key code of a Qt key, or 0 for keys the engine does not use.
  static int virtualKey(int qtKey);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void attachEngine();

  zvplay::PlayerEngine& engine_;
  QImage picture_;
};
