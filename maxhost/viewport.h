// The viewport: the scene's meshes at the host's current time, flat shaded
// in their material (or wire) colours, seen by an orbiting camera that the
// mouse turns.
#pragma once

#include <QWidget>

#include "maxhost/host_scene.h"

namespace maxhost {

class Viewport : public QWidget {
  Q_OBJECT
 public:
  explicit Viewport(HostInterface& ip, QWidget* parent = nullptr);
  // Frames the scene anew (after loading).
  void FrameScene();
  // The triangles drawn by the last paint (for tests).
  int DrawnTriangles() const { return drawn_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  HostInterface& ip_;
  float yaw_ = 0.6f, pitch_ = 0.4f, distance_ = 10;
  Point3 target_;
  QPoint last_;
  int drawn_ = 0;
};

}  // namespace maxhost
