#include "maxhost/viewport.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

namespace maxhost {
namespace {

QColor NodeColour(const HostNode& node, int mtlIndex) {
  const Mtl* mtl = node.GetMtl();
  if (mtl && mtl->NumSubMtls() > 0) mtl = mtl->GetSubMtl(mtlIndex % mtl->NumSubMtls());
  if (mtl && mtl->ClassID().PartA() == kStdMatClassID) {
    const Color c = static_cast<const StdMat*>(mtl)->GetDiffuse(0);
    return QColor::fromRgbF(c.r, c.g, c.b);
  }
  const WireColor w = node.GetWireColor();
  return QColor(int(w & 0xFF), int((w >> 8) & 0xFF), int((w >> 16) & 0xFF));
}

template <class Visit>
void ForEachNode(HostNode& node, Visit&& visit) {
  std::vector<HostNode*> stack{&node};
  while (!stack.empty()) {
    HostNode* n = stack.back();
    stack.pop_back();
    visit(*n);
    for (auto& c : n->children) stack.push_back(c.get());
  }
}

}  // namespace

Viewport::Viewport(HostInterface& ip, QWidget* parent) : QWidget(parent), ip_(ip) {
  setMinimumSize(320, 240);
  setObjectName("viewport");
}

void Viewport::FrameScene() {
  Box3 box;
  ForEachNode(*ip_.Scene().root, [&](HostNode& n) {
    auto* geom = dynamic_cast<GeomObject*>(n.object.get());
    if (!geom) return;
    const Matrix3 tm = n.GetObjectTM(ip_.GetTime());
    const Box3 b = geom->mesh.getBoundingBox(&tm);
    if (!b.IsEmpty()) {
      box += b.pmin;
      box += b.pmax;
    }
  });
  if (box.IsEmpty()) {
    target_ = Point3();
    distance_ = 10;
  } else {
    target_ = (box.pmin + box.pmax) * 0.5f;
    const Point3 w = box.Width();
    distance_ = std::max({w.x, w.y, w.z, 0.001f}) * 2.0f;
  }
  update();
}

void Viewport::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(90, 90, 96));
  p.setRenderHint(QPainter::Antialiasing, false);
  // Camera: orbit about the target; y is up.
  const float cy = std::cos(yaw_), sy = std::sin(yaw_), cp = std::cos(pitch_), sp = std::sin(pitch_);
  const Point3 forward(-sy * cp, -sp, -cy * cp);
  const Point3 right(cy, 0, -sy);
  const Point3 up(right.y * forward.z - right.z * forward.y, right.z * forward.x - right.x * forward.z,
                  right.x * forward.y - right.y * forward.x);
  const Point3 eye = target_ - forward * distance_;
  const float focal = float(std::min(width(), height())) * 1.2f;
  const float cx = width() / 2.0f, cyScreen = height() / 2.0f;
  auto dot = [](Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; };

  struct Tri {
    float depth;
    QPolygonF polygon;
    QColor colour;
  };
  std::vector<Tri> tris;
  const TimeValue t = ip_.GetTime();
  ForEachNode(*ip_.Scene().root, [&](HostNode& n) {
    auto* geom = dynamic_cast<GeomObject*>(n.object.get());
    if (!geom || n.hidden || !geom->invalidReason.empty()) return;
    const Matrix3 tm = n.GetObjectTM(t);
    const Mesh& mesh = geom->mesh;
    std::vector<Point3> world(mesh.verts.size());
    for (size_t i = 0; i < world.size(); ++i) world[i] = mesh.verts[i] * tm;
    for (const Face& f : mesh.faces) {
      if (f.v[0] >= world.size() || f.v[1] >= world.size() || f.v[2] >= world.size()) continue;
      const Point3 a = world[f.v[0]], b = world[f.v[1]], c = world[f.v[2]];
      const Point3 e1 = b - a, e2 = c - a;
      Point3 normal(e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x);
      const float len = std::sqrt(dot(normal, normal));
      if (!(len > 0)) continue;
      normal = normal * (1 / len);
      QPolygonF poly;
      float depth = 0;
      bool visible = true;
      for (const Point3& v : {a, b, c}) {
        const Point3 rel = v - eye;
        const float z = dot(rel, forward);
        if (z < 0.01f * distance_) visible = false;
        poly << QPointF(cx + dot(rel, right) / z * focal, cyScreen - dot(rel, up) / z * focal);
        depth += z;
      }
      if (!visible) continue;
      const float light = 0.35f + 0.65f * std::fabs(dot(normal, forward));
      const QColor base = NodeColour(n, f.mtlIndex);
      const QColor shaded = QColor::fromRgbF(base.redF() * light, base.greenF() * light, base.blueF() * light);
      tris.push_back({depth, poly, n.selected ? shaded.lighter(130) : shaded});
    }
  });
  std::sort(tris.begin(), tris.end(), [](const Tri& x, const Tri& y) { return x.depth > y.depth; });
  p.setPen(Qt::NoPen);
  for (const Tri& tri : tris) {
    p.setBrush(tri.colour);
    p.drawPolygon(tri.polygon);
  }
  drawn_ = int(tris.size());
}

void Viewport::mousePressEvent(QMouseEvent* e) { last_ = e->pos(); }

void Viewport::mouseMoveEvent(QMouseEvent* e) {
  const QPoint d = e->pos() - last_;
  last_ = e->pos();
  yaw_ -= d.x() * 0.01f;
  pitch_ = std::clamp(pitch_ + d.y() * 0.01f, -1.5f, 1.5f);
  update();
}

void Viewport::wheelEvent(QWheelEvent* e) {
  distance_ *= e->angleDelta().y() > 0 ? 0.9f : 1.1f;
  update();
}

}  // namespace maxhost
