// Points, transforms and boxes of the host interface. A Matrix3 is four
// rows of three: rows 0..2 carry the axes, row 3 the translation; points are
// row vectors multiplied on the left (p * M), so A * B applies A first.
#pragma once

#include <array>
#include <cstdint>

struct Point3 {
  float x = 0, y = 0, z = 0;
  Point3() = default;
  constexpr Point3(float px, float py, float pz) : x(px), y(py), z(pz) {}
  float& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  float operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
  friend Point3 operator+(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend Point3 operator-(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend Point3 operator*(Point3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
  friend bool operator==(Point3 a, Point3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
};

class Matrix3 {
 public:
  // The identity unless told otherwise.
  Matrix3() { IdentityMatrix(); }
  Matrix3(Point3 r0, Point3 r1, Point3 r2, Point3 r3) : rows_{r0, r1, r2, r3} {}

  void IdentityMatrix();
  Point3 GetRow(int i) const { return rows_[i]; }
  void SetRow(int i, Point3 row) { rows_[i] = row; }
  Point3 GetTrans() const { return rows_[3]; }
  void SetTrans(Point3 t) { rows_[3] = t; }

 private:
  std::array<Point3, 4> rows_;
};

// The inverse of an affine transform; a singular one gives the identity.
Matrix3 Inverse(const Matrix3& m);
// The point transformed by the matrix: p.x * row0 + p.y * row1 + p.z * row2 + row3.
Point3 operator*(const Point3& p, const Matrix3& m);
// First a, then b.
Matrix3 operator*(const Matrix3& a, const Matrix3& b);
// A pure translation, and a pure scale.
Matrix3 TransMatrix(Point3 t);
Matrix3 ScaleMatrix(Point3 s);

// An axis-aligned box; empty until the first point goes in.
class Box3 {
 public:
  Box3() { Init(); }
  void Init();
  bool IsEmpty() const { return pmin.x > pmax.x; }
  Box3& operator+=(const Point3& p);
  Point3 Width() const { return IsEmpty() ? Point3() : pmax - pmin; }

  Point3 pmin, pmax;
};
