#include "maxhost/animation.h"

#include <algorithm>
#include <cmath>

namespace maxhost {
namespace {

Point3 Lerp(Point3 a, Point3 b, float t) { return a + (b - a) * t; }

Quat Normalize(Quat q) {
  const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  if (!(n > 0) || !std::isfinite(n)) return Quat();
  return {q.x / n, q.y / n, q.z / n, q.w / n};
}

Quat Interpolate(Quat a, Quat b, float t) { return Slerp(a, b, t); }

// The value at t of keys sorted by time.
template <class Value>
Value Sample(const std::vector<Key<Value>>& keys, TimeValue t) {
  if (t <= keys.front().time) return keys.front().value;
  if (t >= keys.back().time) return keys.back().value;
  auto next = std::upper_bound(keys.begin(), keys.end(), t, [](TimeValue v, const Key<Value>& k) { return v < k.time; });
  auto prev = next - 1;
  const float span = float(next->time - prev->time);
  const float f = span > 0 ? float(t - prev->time) / span : 0.0f;
  if constexpr (std::is_same_v<Value, Quat>) return Interpolate(prev->value, next->value, f);
  else return Lerp(prev->value, next->value, f);
}

}  // namespace

Matrix3 QuatToMatrix(Quat q) {
  q = Normalize(q);
  const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  // Rows are the images of the axes (row-vector convention).
  return Matrix3(Point3(1 - 2 * (yy + zz), 2 * (xy + wz), 2 * (xz - wy)),
                 Point3(2 * (xy - wz), 1 - 2 * (xx + zz), 2 * (yz + wx)),
                 Point3(2 * (xz + wy), 2 * (yz - wx), 1 - 2 * (xx + yy)), Point3(0, 0, 0));
}

Quat Slerp(Quat a, Quat b, float t) {
  a = Normalize(a);
  b = Normalize(b);
  float cosom = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
  if (cosom < 0) {
    cosom = -cosom;
    b = {-b.x, -b.y, -b.z, -b.w};
  }
  float k0 = 1 - t, k1 = t;
  if (cosom < 0.9995f) {
    const float omega = std::acos(std::min(cosom, 1.0f));
    const float sinom = std::sin(omega);
    k0 = std::sin((1 - t) * omega) / sinom;
    k1 = std::sin(t * omega) / sinom;
  }
  return Normalize({k0 * a.x + k1 * b.x, k0 * a.y + k1 * b.y, k0 * a.z + k1 * b.z, k0 * a.w + k1 * b.w});
}

void Decompose(const Matrix3& m, Point3& scale, Quat& rotation, Point3& translation) {
  translation = m.GetTrans();
  Point3 rows[3];
  for (int i = 0; i < 3; ++i) {
    rows[i] = m.GetRow(i);
    const float len = std::sqrt(rows[i].x * rows[i].x + rows[i].y * rows[i].y + rows[i].z * rows[i].z);
    scale[i] = len;
    if (len > 0) rows[i] = rows[i] * (1 / len);
  }
  // A mirrored basis keeps its mirror in the scale.
  const Point3 a = rows[0], b = rows[1], c = rows[2];
  const float det = a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) + a.z * (b.x * c.y - b.y * c.x);
  if (det < 0) {
    scale.x = -scale.x;
    rows[0] = rows[0] * -1;
  }
  // Quaternion of the rotation whose rows are rows[0..2]; element (r, c) of
  // the column-vector matrix is rows[c][r].
  const float m00 = rows[0].x, m11 = rows[1].y, m22 = rows[2].z;
  const float trace = m00 + m11 + m22;
  Quat q;
  if (trace > 0) {
    const float s = std::sqrt(trace + 1) * 2;
    q = {(rows[1].z - rows[2].y) / s, (rows[2].x - rows[0].z) / s, (rows[0].y - rows[1].x) / s, s / 4};
  } else if (m00 > m11 && m00 > m22) {
    const float s = std::sqrt(1 + m00 - m11 - m22) * 2;
    q = {s / 4, (rows[1].x + rows[0].y) / s, (rows[2].x + rows[0].z) / s, (rows[1].z - rows[2].y) / s};
  } else if (m11 > m22) {
    const float s = std::sqrt(1 + m11 - m00 - m22) * 2;
    q = {(rows[1].x + rows[0].y) / s, s / 4, (rows[2].y + rows[1].z) / s, (rows[2].x - rows[0].z) / s};
  } else {
    const float s = std::sqrt(1 + m22 - m00 - m11) * 2;
    q = {(rows[2].x + rows[0].z) / s, (rows[2].y + rows[1].z) / s, s / 4, (rows[0].y - rows[1].x) / s};
  }
  rotation = Normalize(q);
}

Matrix3 TransformTrack::Evaluate(TimeValue t, const Matrix3& rest) const {
  if (empty()) return rest;
  Point3 s, p;
  Quat r;
  Decompose(rest, s, r, p);
  if (!scales.empty()) s = Sample(scales, t);
  if (!rotations.empty()) r = Sample(rotations, t);
  if (!positions.empty()) p = Sample(positions, t);
  Matrix3 m = ScaleMatrix(s) * QuatToMatrix(r);
  m.SetTrans(p);
  return m;
}

TimeValue TransformTrack::End() const {
  TimeValue end = 0;
  if (!positions.empty()) end = std::max(end, positions.back().time);
  if (!rotations.empty()) end = std::max(end, rotations.back().time);
  if (!scales.empty()) end = std::max(end, scales.back().time);
  return end;
}

}  // namespace maxhost
