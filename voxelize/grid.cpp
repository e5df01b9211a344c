// The front of the pipeline: the pose of the mesh, the grid, face normals,
// grid units, and the VoxelGrid itself.
#include <cmath>
#include <cstdio>

#include "palette/palette_tables.h"
#include "voxelize/generator.h"
#include "voxelize/matrix3.h"
#include "voxelize/messages.h"

namespace voxelize {

namespace {

// The colour the preview shows the vertices in while they are transformed.
constexpr uint8_t VertexPreviewColour[3] = {255, 255, 255};

bool Finite3(const std::array<float, 3>& v) {
  return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

void Apply(const Matrix3& m, std::array<float, 3>& v) {
  const float x = v[0], y = v[1], z = v[2];
  v[0] = m[0] * x + m[1] * y + m[2] * z;
  v[1] = m[3] * x + m[4] * y + m[5] * z;
  v[2] = m[6] * x + m[7] * y + m[8] * z;
}

}  // namespace

std::string ZorvelGenerator::caption(const char* stage) const {
  const int length = std::snprintf(nullptr, 0, msg::CaptionFormat, stage, mesh.name.c_str());
  std::string text(size_t(length > 0 ? length : 0), '\0');
  std::snprintf(text.data(), text.size() + 1, msg::CaptionFormat, stage, mesh.name.c_str());
  return text;
}

void ZorvelGenerator::freeVoxels() {
  // Voxels come from the pool; dropping the pool's blocks frees them all.
  if (cells.data() != nullptr) std::memset(static_cast<void*>(cells.data()), 0, cells.size() * sizeof(Voxel*));
  chains.clear();
  pool.clear();
  colours.clear();
  voxelCount = 0;
}

void VoxelPreviewColour(const ZorvelGenerator& g, const Voxel& v, uint8_t rgb[3]) {
  if (v.flags & VoxelFlat) {
    const uint8_t* c = g.columnPreview[v.flatIndex];
    rgb[0] = c[0];
    rgb[1] = c[1];
    rgb[2] = c[2];
  } else {
    const ColourSample& c = g.colours.at(v.colour);
    for (int i = 0; i < 3; ++i) rgb[i] = ChannelByte(c.rgb[i]);
  }
}

// The matrix the mesh is voxelized in: the current frame's matrix when the
// flags ask for it, else the stretch S of frame 0's matrix M = Q S. A mesh
// without matrices is voxelized as it is.
Matrix3 VoxelizationMatrix(const ConversionHost& host, const MeshObject& mesh) {
  if (host.conversionFlags & kFlagCurrentFrame) {
    if (host.currentFrame >= 0 && size_t(host.currentFrame) < mesh.matrices.size())
      return mesh.matrices[size_t(host.currentFrame)];
    return Identity3;
  }
  if (mesh.matrices.empty()) return Identity3;
  Matrix3 q, s;
  PolarDecompose(mesh.matrices[0], q, s);
  return s;
}

int PoseCentre(const MeshObject& mesh, const Matrix3& u, std::array<float, 3>& centre, std::array<float, 3>& min,
               std::array<float, 3>& max, bool transformInPlace, MeshObject* posed) {
  min = {1e30f, 1e30f, 1e30f};
  max = {-1e30f, -1e30f, -1e30f};
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    std::array<float, 3> v = mesh.vertices[i];
    Apply(u, v);
    if (!Finite3(v)) return -1;
    if (transformInPlace) posed->vertices[i] = v;
    for (int a = 0; a < 3; ++a) {
      if (v[size_t(a)] < min[size_t(a)]) min[size_t(a)] = v[size_t(a)];
      if (v[size_t(a)] > max[size_t(a)]) max[size_t(a)] = v[size_t(a)];
    }
  }
  if (mesh.vertices.empty()) {
    min = {0, 0, 0};
    max = {0, 0, 0};
  }
  for (int a = 0; a < 3; ++a) centre[size_t(a)] = (min[size_t(a)] + max[size_t(a)]) / 2.0f;
  return 0;
}

int ChoosePose(ZorvelGenerator& g) {
  const Matrix3 u = VoxelizationMatrix(g.host, g.mesh);
  for (int i = 0; i < 9; ++i) g.matrix[i] = u[size_t(i)];
  std::array<float, 3> centre, min, max;
  if (PoseCentre(g.mesh, u, centre, min, max, true, &g.mesh) != 0) {
    g.report(msg::BadVertex);
    return -1;
  }
  for (auto& f : g.mesh.fixPoints) Apply(u, f);
  for (int a = 0; a < 3; ++a) g.centre[a] = centre[size_t(a)];
  return 0;
}

int ChooseGrid(ZorvelGenerator& g) {
  if (!(g.gridStep > 0.0f) || !std::isfinite(g.gridStep)) {
    g.report(msg::BadGridStep);
    return -1;
  }
  g.scale = 1.0f / g.gridStep;
  float min[3] = {1e30f, 1e30f, 1e30f}, max[3] = {-1e30f, -1e30f, -1e30f};
  for (const auto& v : g.mesh.vertices)
    for (int a = 0; a < 3; ++a) {
      if (v[size_t(a)] < min[a]) min[a] = v[size_t(a)];
      if (v[size_t(a)] > max[a]) max[a] = v[size_t(a)];
    }
  if (g.mesh.vertices.empty())
    for (int a = 0; a < 3; ++a) min[a] = max[a] = g.centre[a];
  for (int a = 0; a < 3; ++a) {
    const float high = (max[a] - g.centre[a]) * g.scale;
    const float low = (min[a] - g.centre[a]) * g.scale;
    // Checked before any conversion to int: the rounded halves and the
    // margin must stay within the largest grid.
    if (!(std::fabs(high) < float(kMaxGridSide)) || !(std::fabs(low) < float(kMaxGridSide))) {
      g.report(msg::GridTooLarge);
      return -1;
    }
    int dim = RoundHalfAway(high) - RoundHalfAway(low) + 3;
    if ((dim & 1) == 0) ++dim;
    if (dim > kMaxGridSide) {
      g.report(msg::GridTooLarge);
      return -1;
    }
    g.dims[a] = dim;
  }
  return 0;
}

int ComputeFaceNormals(ZorvelGenerator& g) {
  for (MeshFace& face : g.mesh.faces) {
    const auto& a = g.mesh.vertices[size_t(face.v[0])];
    const auto& b = g.mesh.vertices[size_t(face.v[1])];
    const auto& c = g.mesh.vertices[size_t(face.v[2])];
    const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    if (n[0] != 0.0f || n[1] != 0.0f || n[2] != 0.0f) {
      const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      if (length > 0.0f)
        for (float& x : n) x /= length;
    }
    for (int i = 0; i < 3; ++i) face.normal[i] = n[i];
  }
  return 0;
}

int TransformToGrid(ZorvelGenerator& g) {
  ConversionHost& host = g.host;
  if (host.BeginProgress(g.mesh.VertexCount(), g.caption(msg::Transforming).c_str()) != 0) return -1;
  int i = 0;
  for (auto& v : g.mesh.vertices) {
    for (int a = 0; a < 3; ++a) v[size_t(a)] = (v[size_t(a)] - g.centre[a]) * g.scale;
    if (host.PlotPoint(int(v[0]), int(v[2]), VertexPreviewColour) != 0) {
      g.report(msg::ProcessAborted);
      host.EndProgress();
      return -1;
    }
    if (host.StepProgress(i++) != 0 || g.stopped()) {
      host.EndProgress();
      return -1;
    }
  }
  if (host.EndProgress() != 0) return -1;
  return g.stopped() ? -1 : 0;
}

int AllocateVoxelGrid(ZorvelGenerator& g) {
  if (!g.cells.allocate(g.host, size_t(g.dims[0]) * size_t(g.dims[1]))) {
    g.report(msg::VoxelArray);
    return -1;
  }
  return 0;
}

}  // namespace voxelize
