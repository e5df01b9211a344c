// The OBJ reader and the voxelization engine over arbitrary text: a mesh the
// reader accepts is voxelized on a small grid (at most about 40 cells
// across). Nothing may crash, hang or leak, every refusal must come with a
// message, and every part made must pass the part walker's checks.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "palette/material.h"
#include "voxelize/memory_host.h"
#include "voxelize/voxelize.h"
#include "zvlfile/voxpart.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MeshObject mesh;
  std::string error;
  if (!ReadObjMesh(std::string_view(reinterpret_cast<const char*>(data), size), mesh, error)) return 0;
  if (mesh.faces.size() > 4096) return 0;

  float extent = 0;
  for (int a = 0; a < 3; ++a) {
    float lo = 0, hi = 0;
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
      const float v = mesh.vertices[i][size_t(a)];
      if (i == 0 || v < lo) lo = v;
      if (i == 0 || v > hi) hi = v;
    }
    extent = std::max(extent, hi - lo);
  }
  float step = extent / 40.0f;
  if (!(step > 0.0f) || !std::isfinite(step)) step = 1.0f;

  MemoryConversionHost host;
  host.UseOneFlatMaterial();
  const int smoothing = size % 3;
  std::vector<uint8_t> part = ZorvelizeMesh(host, &mesh, step, smoothing);
  if (part.empty()) {
    if (host.errors.empty()) {
      std::fprintf(stderr, "refused without a message\n");
      std::abort();
    }
    return 0;
  }
  if (!VoxCheckObject(part.data(), part.size())) {
    std::fprintf(stderr, "the engine made a part the walker refuses\n");
    std::abort();
  }
  return 0;
}
