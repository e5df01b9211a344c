// 3x3 matrices of floats, row after row, as the engine uses them for the
// voxelization matrix and the per-frame placement (internal).
#pragma once

#include <array>

namespace voxelize {

using Matrix3 = std::array<float, 9>;

inline constexpr Matrix3 Identity3 = {1, 0, 0, 0, 1, 0, 0, 0, 1};

Matrix3 Multiply(const Matrix3& a, const Matrix3& b);  // a b
Matrix3 Transpose(const Matrix3& m);
float Determinant(const Matrix3& m);
// The inverse by cofactors and the determinant; false when the determinant
// is 0 or the result is not finite.
bool InvertByCofactors(const Matrix3& m, Matrix3& inverse);
// Polar decomposition m = q s (q orthogonal, s symmetric) by the scaled
// Newton iteration, with the rank-2 and rank-1 completions of a singular step.
void PolarDecompose(const Matrix3& m, Matrix3& q, Matrix3& s);
// An inverse of U that also serves when U is singular: for U = Q S it is
// (S + P)^-1 Q^T, P the projector onto the null space of S, which is the
// ordinary inverse when U is regular.
Matrix3 InverseForPlacement(const Matrix3& u);

}  // namespace voxelize
