// 3x3 matrix helpers: products, cofactor inverse, and the polar decomposition
// by the scaled Newton iteration (with completions for singular matrices).
#include "voxelize/matrix3.h"

#include <cmath>

namespace voxelize {

namespace {

float& at(Matrix3& m, int r, int c) { return m[size_t(r * 3 + c)]; }
float at(const Matrix3& m, int r, int c) { return m[size_t(r * 3 + c)]; }

// Largest absolute column sum and row sum.
float NormOne(const Matrix3& m) {
  float best = 0;
  for (int c = 0; c < 3; ++c) {
    const float sum = std::fabs(at(m, 0, c)) + std::fabs(at(m, 1, c)) + std::fabs(at(m, 2, c));
    if (sum > best) best = sum;
  }
  return best;
}
float NormInf(const Matrix3& m) { return NormOne(Transpose(m)); }

// The transposed adjugate: rows are cross products of the other two rows.
Matrix3 AdjointTranspose(const Matrix3& m) {
  Matrix3 a;
  for (int r = 0; r < 3; ++r) {
    const int r1 = (r + 1) % 3, r2 = (r + 2) % 3;
    at(a, r, 0) = at(m, r1, 1) * at(m, r2, 2) - at(m, r1, 2) * at(m, r2, 1);
    at(a, r, 1) = at(m, r1, 2) * at(m, r2, 0) - at(m, r1, 0) * at(m, r2, 2);
    at(a, r, 2) = at(m, r1, 0) * at(m, r2, 1) - at(m, r1, 1) * at(m, r2, 0);
  }
  return a;
}

// Householder reflector helpers of the rank completions.
void MakeReflector(const float v[3], float u[3]) {
  float s = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  u[0] = v[0];
  u[1] = v[1];
  u[2] = v[2] + (v[2] < 0.0f ? -s : s);
  s = std::sqrt(2.0f / (u[0] * u[0] + u[1] * u[1] + u[2] * u[2]));
  u[0] *= s;
  u[1] *= s;
  u[2] *= s;
}
void ReflectColumns(Matrix3& m, const float u[3]) {
  for (int i = 0; i < 3; ++i) {
    const float s = u[0] * at(m, 0, i) + u[1] * at(m, 1, i) + u[2] * at(m, 2, i);
    for (int j = 0; j < 3; ++j) at(m, j, i) -= u[j] * s;
  }
}
void ReflectRows(Matrix3& m, const float u[3]) {
  for (int i = 0; i < 3; ++i) {
    const float s = u[0] * at(m, i, 0) + u[1] * at(m, i, 1) + u[2] * at(m, i, 2);
    for (int j = 0; j < 3; ++j) at(m, i, j) -= u[j] * s;
  }
}
// The column of largest absolute entry, or -1 for a zero matrix.
int MaxColumn(const Matrix3& m, float column[3]) {
  float best = 0;
  int col = -1;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      const float a = std::fabs(at(m, r, c));
      if (a > best) {
        best = a;
        col = c;
      }
    }
  if (col >= 0)
    for (int r = 0; r < 3; ++r) column[r] = at(m, r, col);
  return col;
}

// Completes an orthogonal q for a matrix of rank 1 (or 0).
void RankOne(Matrix3 m, Matrix3& q) {
  q = Identity3;
  float v1[3];
  if (MaxColumn(m, v1) < 0) return;  // rank 0
  MakeReflector(v1, v1);
  ReflectColumns(m, v1);
  float v2[3] = {at(m, 2, 0), at(m, 2, 1), at(m, 2, 2)};
  MakeReflector(v2, v2);
  ReflectRows(m, v2);
  if (at(m, 2, 2) < 0.0f) at(q, 2, 2) = -1.0f;
  ReflectColumns(q, v1);
  ReflectRows(q, v2);
}

// Completes an orthogonal q for a matrix of rank 2 (falls to rank 1).
void RankTwo(Matrix3 m, const Matrix3& adjointT, Matrix3& q) {
  float v1[3];
  if (MaxColumn(adjointT, v1) < 0) {
    RankOne(m, q);
    return;
  }
  MakeReflector(v1, v1);
  ReflectColumns(m, v1);
  float v2[3] = {at(m, 0, 1) * at(m, 1, 2) - at(m, 0, 2) * at(m, 1, 1),
                 at(m, 0, 2) * at(m, 1, 0) - at(m, 0, 0) * at(m, 1, 2),
                 at(m, 0, 0) * at(m, 1, 1) - at(m, 0, 1) * at(m, 1, 0)};
  MakeReflector(v2, v2);
  ReflectRows(m, v2);
  const float w = at(m, 0, 0), x = at(m, 0, 1), y = at(m, 1, 0), z = at(m, 1, 1);
  float c, s, d;
  q = Identity3;
  if (w * z > x * y) {
    c = z + w;
    s = y - x;
    d = std::sqrt(c * c + s * s);
    c /= d;
    s /= d;
    at(q, 0, 0) = at(q, 1, 1) = c;
    at(q, 0, 1) = -s;
    at(q, 1, 0) = s;
  } else {
    c = z - w;
    s = y + x;
    d = std::sqrt(c * c + s * s);
    c /= d;
    s /= d;
    at(q, 0, 0) = -c;
    at(q, 1, 1) = c;
    at(q, 0, 1) = at(q, 1, 0) = s;
  }
  ReflectColumns(q, v1);
  ReflectRows(q, v2);
}

}  // namespace

Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 p;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) at(p, r, c) = at(a, r, 0) * at(b, 0, c) + at(a, r, 1) * at(b, 1, c) + at(a, r, 2) * at(b, 2, c);
  return p;
}

Matrix3 Transpose(const Matrix3& m) {
  return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
}

float Determinant(const Matrix3& m) {
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

bool InvertByCofactors(const Matrix3& m, Matrix3& inverse) {
  const float det = Determinant(m);
  if (det == 0.0f || !std::isfinite(det)) return false;
  const Matrix3 adjT = AdjointTranspose(m);  // cofactor matrix
  const Matrix3 adj = Transpose(adjT);
  for (int i = 0; i < 9; ++i) {
    inverse[size_t(i)] = adj[size_t(i)] / det;
    if (!std::isfinite(inverse[size_t(i)])) return false;
  }
  return true;
}

void PolarDecompose(const Matrix3& m, Matrix3& q, Matrix3& s) {
  constexpr float Tolerance = 1.0e-6f;
  constexpr int MaxSteps = 100;
  // Iterate on the transpose so that rows are the columns of Q.
  Matrix3 mk = Transpose(m);
  float mOne = NormOne(mk), mInf = NormInf(mk);
  bool finished = false;
  for (int step = 0; step < MaxSteps && !finished; ++step) {
    const Matrix3 adjT = AdjointTranspose(mk);
    const float det = mk[0] * adjT[0] + mk[1] * adjT[1] + mk[2] * adjT[2];
    if (det == 0.0f) {
      Matrix3 completed;
      RankTwo(mk, adjT, completed);
      mk = completed;
      break;
    }
    const float adjOne = NormOne(adjT), adjInf = NormInf(adjT);
    const float gamma = std::sqrt(std::sqrt((adjOne * adjInf) / (mOne * mInf)) / std::fabs(det));
    const float g1 = gamma * 0.5f;
    const float g2 = 0.5f / (gamma * det);
    Matrix3 previous = mk;
    for (int i = 0; i < 9; ++i) mk[size_t(i)] = g1 * mk[size_t(i)] + g2 * adjT[size_t(i)];
    for (int i = 0; i < 9; ++i) previous[size_t(i)] -= mk[size_t(i)];
    const float eOne = NormOne(previous);
    mOne = NormOne(mk);
    mInf = NormInf(mk);
    finished = !(eOne > mOne * Tolerance);
  }
  q = Transpose(mk);
  // S = Q^T M, symmetrised.
  Matrix3 qtm = Multiply(mk, m);
  for (int r = 0; r < 3; ++r)
    for (int c = r; c < 3; ++c) {
      const float v = 0.5f * (at(qtm, r, c) + at(qtm, c, r));
      at(s, r, c) = v;
      at(s, c, r) = v;
    }
}

Matrix3 InverseForPlacement(const Matrix3& u) {
  Matrix3 inverse;
  if (InvertByCofactors(u, inverse)) return inverse;
  for (float v : u)
    if (!std::isfinite(v)) return Identity3;
  Matrix3 q, s;
  PolarDecompose(u, q, s);
  // Null space projector of the symmetric S from its rows (they span its
  // range): rank 2 leaves one direction, rank 1 a plane, rank 0 everything.
  const float* rows[3] = {&s[0], &s[3], &s[6]};
  float bestCross[3] = {0, 0, 0}, bestLength = 0;
  for (int a = 0; a < 3; ++a)
    for (int b = a + 1; b < 3; ++b) {
      const float* p = rows[a];
      const float* r = rows[b];
      const float c[3] = {p[1] * r[2] - p[2] * r[1], p[2] * r[0] - p[0] * r[2], p[0] * r[1] - p[1] * r[0]};
      const float length = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
      if (length > bestLength) {
        bestLength = length;
        for (int i = 0; i < 3; ++i) bestCross[i] = c[i] / length;
      }
    }
  Matrix3 projector = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  if (bestLength > 0.0f) {
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) at(projector, r, c) = bestCross[r] * bestCross[c];
  } else {
    float direction[3] = {0, 0, 0}, longest = 0;
    for (int r = 0; r < 3; ++r) {
      const float length = std::sqrt(rows[r][0] * rows[r][0] + rows[r][1] * rows[r][1] + rows[r][2] * rows[r][2]);
      if (length > longest) {
        longest = length;
        for (int i = 0; i < 3; ++i) direction[i] = rows[r][i] / length;
      }
    }
    projector = Identity3;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) at(projector, r, c) -= direction[r] * direction[c];
  }
  Matrix3 completed;
  for (int i = 0; i < 9; ++i) completed[size_t(i)] = s[size_t(i)] + projector[size_t(i)];
  Matrix3 completedInverse;
  if (!InvertByCofactors(completed, completedInverse)) return Transpose(q);
  return Multiply(completedInverse, Transpose(q));
}

}  // namespace voxelize
