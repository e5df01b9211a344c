// 3x3 matrices in double precision for the animation calculations: row after
// row, applied to column vectors (M·v).
#pragma once

#include <array>
#include <cmath>

namespace importer {

using Mat3 = std::array<double, 9>;
using Vec3 = std::array<double, 3>;

inline Mat3 Identity3() { return {1, 0, 0, 0, 1, 0, 0, 0, 1}; }

inline Mat3 Scale3(const Vec3& s) { return {s[0], 0, 0, 0, s[1], 0, 0, 0, s[2]}; }

inline Mat3 Multiply(const Mat3& a, const Mat3& b) {
  Mat3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
  return r;
}

inline Vec3 Apply(const Mat3& m, const Vec3& v) {
  return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
          m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

// Rotation by `angle` radians about `axis` (Rodrigues form). The axis is
// normalised first; a zero-length axis leaves `m` as it was.
inline void AxisRotation(Mat3& m, Vec3 axis, double angle) {
  const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
  if (length == 0.0 || !std::isfinite(length)) return;
  const double x = axis[0] / length, y = axis[1] / length, z = axis[2] / length;
  const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
  m = {x * x * t + c,     x * y * t - z * s, x * z * t + y * s,
       x * y * t + z * s, y * y * t + c,     y * z * t - x * s,
       x * z * t - y * s, y * z * t + x * s, z * z * t + c};
}

// Rotations about the coordinate axes.
inline Mat3 RotationX(double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {1, 0, 0, 0, c, -s, 0, s, c};
}
inline Mat3 RotationY(double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {c, 0, s, 0, 1, 0, -s, 0, c};
}
inline Mat3 RotationZ(double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {c, -s, 0, s, c, 0, 0, 0, 1};
}

inline double Determinant(const Mat3& m) {
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
         m[2] * (m[3] * m[7] - m[4] * m[6]);
}

// The inverse of `m`; false (and `out` untouched) when `m` is singular or
// not finite.
inline bool Inverse(const Mat3& m, Mat3& out) {
  const double det = Determinant(m);
  if (det == 0.0 || !std::isfinite(det)) return false;
  const double inv = 1.0 / det;
  Mat3 r = {(m[4] * m[8] - m[5] * m[7]) * inv, (m[2] * m[7] - m[1] * m[8]) * inv,
            (m[1] * m[5] - m[2] * m[4]) * inv, (m[5] * m[6] - m[3] * m[8]) * inv,
            (m[0] * m[8] - m[2] * m[6]) * inv, (m[2] * m[3] - m[0] * m[5]) * inv,
            (m[3] * m[7] - m[4] * m[6]) * inv, (m[1] * m[6] - m[0] * m[7]) * inv,
            (m[0] * m[4] - m[1] * m[3]) * inv};
  for (double v : r)
    if (!std::isfinite(v)) return false;
  out = r;
  return true;
}

}  // namespace importer
