// Small scenes for the converter's tests, made from maxhost's plain scene
// classes: boxes with materials, wire colours, helpers and keyed motion.
#pragma once

#include <memory>
#include <string>

#include "maxhost/host_scene.h"

namespace testscene {

// A cube of side 2 around the origin (8 vertices, 12 faces) whose face f has
// material number f.
inline std::shared_ptr<maxhost::GeomObject> Cube() {
  auto geom = std::make_shared<maxhost::GeomObject>();
  for (int i = 0; i < 8; ++i) geom->mesh.verts.emplace_back(i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f);
  const uint32_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& q : quads) {
    for (const uint32_t tri : {0u, 2u}) {
      Face f;
      f.v[0] = q[0];
      f.v[1] = q[tri == 0 ? 1 : 2];
      f.v[2] = q[tri == 0 ? 2 : 3];
      f.mtlIndex = uint16_t(geom->mesh.faces.size());
      geom->mesh.faces.push_back(f);
    }
  }
  return geom;
}

inline std::shared_ptr<StdMat> Standard(const char* name, float r, float g, float b) {
  auto m = std::make_shared<StdMat>();
  m->name = name;
  m->diffuse = m->ambient = {r, g, b};
  return m;
}

inline maxhost::HostNode& AddBox(maxhost::HostNode& parent, const char* name, Point3 at = {}) {
  maxhost::HostNode& node = parent.AddChild(name);
  node.object = Cube();
  node.rest = TransMatrix(at);
  return node;
}

inline maxhost::HostNode& AddHelper(maxhost::HostNode& parent, const char* name, Point3 at) {
  maxhost::HostNode& node = parent.AddChild(name);
  node.object = std::make_shared<maxhost::HelperObject>();
  node.rest = TransMatrix(at);
  return node;
}

}  // namespace testscene
