// 3x3 float matrices stored row by row, as the scene database keeps them.
#pragma once

#include <algorithm>
#include <cmath>

namespace zvl::render {

// out = a b; out may be a or b.
inline void Multiply3(const float a[9], const float b[9], float out[9]) {
  float r[9];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
  std::copy(r, r + 9, out);
}

inline void Transpose3(const float m[9], float t[9]) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) t[c * 3 + r] = m[r * 3 + c];
}

// The inverse by cofactors in double precision; false for a singular matrix.
inline bool Invert3(const float m[9], float inv[9]) {
  const double det = double(m[0]) * (double(m[4]) * m[8] - double(m[5]) * m[7]) -
                     double(m[1]) * (double(m[3]) * m[8] - double(m[5]) * m[6]) +
                     double(m[2]) * (double(m[3]) * m[7] - double(m[4]) * m[6]);
  if (!(std::fabs(det) > 1e-12)) return false;
  const double r = 1.0 / det;
  inv[0] = float((double(m[4]) * m[8] - double(m[5]) * m[7]) * r);
  inv[1] = float((double(m[2]) * m[7] - double(m[1]) * m[8]) * r);
  inv[2] = float((double(m[1]) * m[5] - double(m[2]) * m[4]) * r);
  inv[3] = float((double(m[5]) * m[6] - double(m[3]) * m[8]) * r);
  inv[4] = float((double(m[0]) * m[8] - double(m[2]) * m[6]) * r);
  inv[5] = float((double(m[2]) * m[3] - double(m[0]) * m[5]) * r);
  inv[6] = float((double(m[3]) * m[7] - double(m[4]) * m[6]) * r);
  inv[7] = float((double(m[1]) * m[6] - double(m[0]) * m[7]) * r);
  inv[8] = float((double(m[0]) * m[4] - double(m[1]) * m[3]) * r);
  return true;
}

}  // namespace zvl::render
