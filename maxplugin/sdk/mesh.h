// A triangle mesh as the host hands it out: vertices, faces with a material
// number each, and optional texture vertices with one texture face per face.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "maxplugin/sdk/geom.h"

struct Face {
  uint32_t v[3] = {0, 0, 0};
  uint16_t mtlIndex = 0;  // the face's material number under a multi-material
};

struct TVFace {
  uint32_t t[3] = {0, 0, 0};
};

class Mesh {
 public:
  virtual ~Mesh() = default;

  int getNumVerts() const { return int(verts.size()); }
  int getNumFaces() const { return int(faces.size()); }
  int getNumTVerts() const { return int(tVerts.size()); }
  Point3 getVert(int i) const { return verts[size_t(i)]; }
  uint16_t getFaceMtlIndex(int face) const { return faces[size_t(face)].mtlIndex; }
  // The box of every vertex, each transformed by tm when given.
  Box3 getBoundingBox(const Matrix3* tm = nullptr) const;

  std::vector<Point3> verts;
  std::vector<Face> faces;
  std::vector<Point3> tVerts;   // u, v, w
  std::vector<TVFace> tvFaces;  // one per face when there are texture vertices
};
