#include "maxplugin/sdk/geom.h"

#include <cmath>
#include <limits>

void Matrix3::IdentityMatrix() {
  rows_ = {Point3(1, 0, 0), Point3(0, 1, 0), Point3(0, 0, 1), Point3(0, 0, 0)};
}

Point3 operator*(const Point3& p, const Matrix3& m) {
  const Point3 a = m.GetRow(0), b = m.GetRow(1), c = m.GetRow(2), t = m.GetRow(3);
  return {p.x * a.x + p.y * b.x + p.z * c.x + t.x,
          p.x * a.y + p.y * b.y + p.z * c.y + t.y,
          p.x * a.z + p.y * b.z + p.z * c.z + t.z};
}

Matrix3 operator*(const Matrix3& a, const Matrix3& b) {
  Matrix3 r;
  const Point3 origin = Point3(0, 0, 0) * b;
  for (int i = 0; i < 3; ++i) r.SetRow(i, a.GetRow(i) * b - origin);
  r.SetRow(3, a.GetRow(3) * b);
  return r;
}

Matrix3 Inverse(const Matrix3& m) {
  const Point3 a = m.GetRow(0), b = m.GetRow(1), c = m.GetRow(2);
  // Rows of the adjugate of the 3x3 part, divided by the determinant.
  const double det = double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
                     double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
                     double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
  if (!std::isfinite(det) || std::fabs(det) < std::numeric_limits<double>::min()) return Matrix3();
  const double k = 1.0 / det;
  Matrix3 r(Point3(float((double(b.y) * c.z - double(b.z) * c.y) * k), float((double(a.z) * c.y - double(a.y) * c.z) * k),
                   float((double(a.y) * b.z - double(a.z) * b.y) * k)),
            Point3(float((double(b.z) * c.x - double(b.x) * c.z) * k), float((double(a.x) * c.z - double(a.z) * c.x) * k),
                   float((double(a.z) * b.x - double(a.x) * b.z) * k)),
            Point3(float((double(b.x) * c.y - double(b.y) * c.x) * k), float((double(a.y) * c.x - double(a.x) * c.y) * k),
                   float((double(a.x) * b.y - double(a.y) * b.x) * k)),
            Point3(0, 0, 0));
  const Point3 t = m.GetTrans() * r;
  r.SetTrans(Point3(-t.x, -t.y, -t.z));
  return r;
}

Matrix3 TransMatrix(Point3 t) {
  Matrix3 m;
  m.SetTrans(t);
  return m;
}

Matrix3 ScaleMatrix(Point3 s) {
  return Matrix3(Point3(s.x, 0, 0), Point3(0, s.y, 0), Point3(0, 0, s.z), Point3(0, 0, 0));
}

void Box3::Init() {
  const float big = std::numeric_limits<float>::max();
  pmin = Point3(big, big, big);
  pmax = Point3(-big, -big, -big);
}

Box3& Box3::operator+=(const Point3& p) {
  for (int i = 0; i < 3; ++i) {
    if (p[i] < pmin[i]) pmin[i] = p[i];
    if (p[i] > pmax[i]) pmax[i] = p[i];
  }
  return *this;
}
