#include "maxplugin/sdk/mesh.h"

Box3 Mesh::getBoundingBox(const Matrix3* tm) const {
  Box3 box;
  for (const Point3& v : verts) box += tm ? v * *tm : v;
  return box;
}
