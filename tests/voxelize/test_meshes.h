// Meshes, hosts and part readers shared by the engine tests.
#pragma once

#include <array>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "palette/material.h"
#include "palette/palette_tables.h"
#include "voxelize/memory_host.h"
#include "voxelize/voxelize.h"
#include "zvlfile/voxpart.h"

namespace voxtest {

using Point = std::tuple<int, int, int>;

// Appends the 12 triangles of the closed box lo..hi.
inline void AddBox(MeshObject& mesh, std::array<float, 3> lo, std::array<float, 3> hi, bool withTop = true) {
  const int base = int(mesh.vertices.size());
  for (int i = 0; i < 8; ++i)
    mesh.vertices.push_back({(i & 1) ? hi[0] : lo[0], (i & 2) ? hi[1] : lo[1], (i & 4) ? hi[2] : lo[2]});
  // Two triangles per side, as corner indices of the quad.
  const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (int q = 0; q < 6; ++q) {
    if (!withTop && q == 1) continue;  // the side at hi z
    const int* c = quads[q];
    MeshFace a, b;
    a.v[0] = base + c[0], a.v[1] = base + c[1], a.v[2] = base + c[2];
    b.v[0] = base + c[0], b.v[1] = base + c[2], b.v[2] = base + c[3];
    mesh.faces.push_back(a);
    mesh.faces.push_back(b);
  }
}

// A degenerate triangle at p with the given material.
inline void AddPoint(MeshObject& mesh, std::array<float, 3> p, int material = 0) {
  const int base = int(mesh.vertices.size());
  mesh.vertices.push_back(p);
  MeshFace f;
  f.v[0] = f.v[1] = f.v[2] = base;
  f.material = material;
  mesh.faces.push_back(f);
}

// A textured material of one colour.
class SolidTexture : public Material {
 public:
  explicit SolidTexture(std::array<uint8_t, 3> rgb) : rgb_(rgb) { kind = uint8_t(MaterialKind::Textured); }
  void SampleColour(const float*, const float*, uint8_t rgb[3]) const override {
    rgb[0] = rgb_[0], rgb[1] = rgb_[1], rgb[2] = rgb_[2];
  }

 private:
  std::array<uint8_t, 3> rgb_;
};

// A host whose memory is counted, so that tests can see every block given
// back; its materials are flat unless added otherwise, each with its own
// flat column (material i -> column i).
class TestHost : public MemoryConversionHost {
 public:
  explicit TestHost(int flatMaterials = 1) {
    for (int i = 0; i < flatMaterials; ++i) AddFlat();
  }
  int AddFlat() {
    auto m = std::make_unique<Material>();
    m->kind = uint8_t(MaterialKind::Flat);
    return AddTable(AddMaterial(std::move(m)));
  }
  int AddTextured(std::array<uint8_t, 3> rgb) { return AddTable(AddMaterial(std::make_unique<SolidTexture>(rgb))); }

  void* Allocate(size_t size) override {
    void* p = ConversionHost::Allocate(size);
    if (p) ++outstanding;
    return p;
  }
  void Free(void** block) override {
    if (block && *block) --outstanding;
    ConversionHost::Free(block);
  }
  int outstanding = 0;

 private:
  int AddTable(int index) {
    paletteTables.redirection.push_back(index);
    paletteTables.flatColumn.push_back(index);
    paletteTables.materials.push_back(nullptr);
    paletteTables.flatCount = int(paletteTables.flatColumn.size());
    return index;
  }
};

// A mesh ready for one level at `step`, identity pose.
inline MeshObject Prepared(MeshObject mesh, float step = 1.0f, int smoothing = 0) {
  mesh.gridSteps = {step};
  mesh.smoothing = {smoothing};
  mesh.matrices = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
  mesh.locations = {{0, 0, 0}};
  mesh.frameFlags = {0};
  return mesh;
}

// Every 3D pixel of the first part of a block, relative to the grid centre.
inline std::set<Point> Pixels(const std::vector<uint8_t>& block, std::vector<VoxPixel>* inOrder = nullptr) {
  std::set<Point> points;
  std::vector<VoxPartView> parts;
  if (!VoxListParts(block.data(), block.size(), parts)) return points;
  VoxWalkPart(parts[0], [&](const VoxPixel& p) {
    points.insert({p.x, p.y, p.z});
    if (inOrder) inOrder->push_back(p);
  });
  return points;
}

}  // namespace voxtest
