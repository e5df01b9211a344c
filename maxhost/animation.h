// Keyframed transforms: position, rotation and scale keys of one node,
// evaluated at any host time (linear between vector keys, spherical between
// rotation keys, the end keys held outside the keys' span).
#pragma once

#include <vector>

#include "maxplugin/sdk/geom.h"
#include "maxplugin/sdk/scene_types.h"

namespace maxhost {

struct Quat {
  float x = 0, y = 0, z = 0, w = 1;
};

// The rotation matrix of a unit quaternion, in the row-vector convention.
Matrix3 QuatToMatrix(Quat q);
// Spherical interpolation along the shorter arc; t in 0..1.
Quat Slerp(Quat a, Quat b, float t);

template <class Value>
struct Key {
  TimeValue time = 0;
  Value value;
};

struct TransformTrack {
  std::vector<Key<Point3>> positions;  // increasing times
  std::vector<Key<Quat>> rotations;
  std::vector<Key<Point3>> scales;

  bool empty() const { return positions.empty() && rotations.empty() && scales.empty(); }
  // The local transform at t: scale, then rotation, then translation; a part
  // without keys comes from the node's rest transform.
  Matrix3 Evaluate(TimeValue t, const Matrix3& rest) const;
  // The last key time of any part, or 0.
  TimeValue End() const;
};

// Splits an affine transform into scale, rotation and translation (the
// inverse of composing them as above). Shear is lost.
void Decompose(const Matrix3& m, Point3& scale, Quat& rotation, Point3& translation);

}  // namespace maxhost
