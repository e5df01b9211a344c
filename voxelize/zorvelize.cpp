// One mesh at one level (ZorvelizeMesh), every level of one object
// (ZorvelizeObject) with texture preparation and level joining, and the
// placement of the sprite in every frame.
#include <cmath>
#include <new>

#include "palette/material.h"
#include "voxelize/generator.h"
#include "voxelize/matrix3.h"
#include "voxelize/messages.h"
#include "zvlfile/voxpart.h"

namespace voxelize {

Matrix3 VoxelizationMatrix(const ConversionHost& host, const MeshObject& mesh);
int PoseCentre(const MeshObject& mesh, const Matrix3& u, std::array<float, 3>& centre, std::array<float, 3>& min,
               std::array<float, 3>& max, bool transformInPlace, MeshObject* posed);

namespace {

// What must hold before anything is allocated for a mesh from a file: every
// index inside its array and at most 255 fix points. Vertices are checked
// for finite values once posed.
int CheckMesh(ConversionHost& host, const MeshObject& mesh, PartLayout layout) {
  struct Reporter {
    ConversionHost& host;
    void report(const char* message) const { host.ReportError(message); }
  } g{host};
  const size_t vertexCount = mesh.vertices.size();
  for (const MeshFace& face : mesh.faces)
    for (int i = 0; i < 3; ++i)
      if (face.v[i] < 0 || size_t(face.v[i]) >= vertexCount) {
        g.report(msg::BadFaceIndex);
        return -1;
      }
  const size_t textureCount = mesh.textureVertices.size();
  const size_t faceCount = mesh.faces.size();
  for (size_t f = 0; f < mesh.textureFaces.size() && f < faceCount; ++f)
    for (int i = 0; i < 3; ++i) {
      const int32_t t = mesh.textureFaces[f][size_t(i)];
      if (t < 0 || size_t(t) >= textureCount) {
        g.report(msg::BadTextureFace);
        return -1;
      }
    }
  if (layout == PartLayout::Plugin && mesh.fixPoints.size() > size_t(VoxMaxFixPoints)) {
    g.report(msg::TooManyFixPoints);
    return -1;
  }
  return 0;
}

int RunPipeline(ZorvelGenerator& g) {
  if (CheckMesh(g.host, g.mesh, g.layout) != 0) return -1;
  if (ChoosePose(g) != 0 || ChooseGrid(g) != 0 || ComputeFaceNormals(g) != 0 || TransformToGrid(g) != 0) return -1;
  if (AllocateVoxelGrid(g) != 0 || SliceTriangles(g) != 0) return -1;
  if (AllocateSlices(g) != 0) return -1;
  MarkOccupied(g);
  if (Flood(g) != 0 || RemoveInvisible(g) != 0) return -1;
  FreeSlices(g);
  if (ThinVoxels(g) != 0 || SmoothNormals(g) != 0) return -1;
  CountVoxels(g);
  return BuildObject(g);
}

// The textured materials the object's faces use, prepared before the first
// level (prepare = true) or released after the last.
int PrepareTextures(ConversionHost& host, const std::vector<uint8_t>& used, bool prepare) {
  for (size_t m = 0; m < used.size(); ++m) {
    if (!used[m]) continue;
    Material* material = host.GetMaterial(int(m));
    if (material == nullptr) return -1;
    int result = 0;
    if (material->IsTextured()) {
      if (prepare)
        result = material->PrepareTexture();
      else
        material->ReleaseTexture();
    }
    host.ReleaseMaterial(material);
    if (result != 0) return -1;
  }
  return 0;
}

}  // namespace

}  // namespace voxelize

using namespace voxelize;

std::vector<uint8_t> ZorvelizeMesh(ConversionHost& host, MeshObject* mesh, float gridStep, int smoothing,
                                   const ZorvelizeOptions& options, MeshPose* pose) {
  if (mesh == nullptr) {
    host.ReportError(msg::NoMesh);
    return {};
  }
  ZorvelGenerator g(host, *mesh);
  g.layout = options.layout;
  g.gridStep = gridStep;
  g.smoothing = smoothing;
  int result;
  try {
    result = RunPipeline(g);
  } catch (const std::bad_alloc&) {
    host.ReportError(msg::AddVoxel);
    result = -1;
  }
  if (pose != nullptr) {
    for (int i = 0; i < 9; ++i) pose->matrix[size_t(i)] = g.matrix[i];
    for (int a = 0; a < 3; ++a) {
      pose->centre[size_t(a)] = g.centre[a];
      pose->dims[size_t(a)] = g.dims[a];
    }
  }
  if (result != 0) return {};
  return std::move(g.part);
}

int ComputeMeshPose(ConversionHost& host, const MeshObject& mesh, MeshPose& pose) {
  const Matrix3 u = VoxelizationMatrix(host, mesh);
  std::array<float, 3> min, max;
  if (PoseCentre(mesh, u, pose.centre, min, max, false, nullptr) != 0) {
    host.ReportError(msg::BadVertex);
    return -1;
  }
  pose.matrix = u;
  return 0;
}

bool JoinLevels(const std::vector<std::vector<uint8_t>>& parts, PartLayout layout, std::vector<uint8_t>& voxObject) {
  return VoxJoinParts(parts, layout == PartLayout::Authoring, voxObject);
}

int ZorvelizeObject(ConversionHost& host, const MeshObject& object, const ZorvelizeOptions& options,
                    ZorvelizedObject& result) {
  const int levels = object.LevelCount();
  if (levels > VoxMaxParts) {
    host.ReportError(msg::TooManyLevels);
    return -1;
  }
  // Refusals come before the copies of the mesh are made.
  if (CheckMesh(host, object, options.layout) != 0 || ComputeMeshPose(host, object, result.pose) != 0) return -1;
  std::vector<uint8_t> used;
  std::vector<std::vector<uint8_t>> parts;
  try {
    used.assign(size_t(host.materialCount > 0 ? host.materialCount : 0), 0);
  } catch (const std::bad_alloc&) {
    host.ReportError(msg::MaterialUsage);
    return -1;
  }
  try {
    parts.reserve(size_t(levels));
  } catch (const std::bad_alloc&) {
    host.ReportError(msg::ArrayOfObjects);
    return -1;
  }
  for (const MeshFace& face : object.faces)
    if (face.material >= 0 && size_t(face.material) < used.size()) used[size_t(face.material)] = 1;

  if (PrepareTextures(host, used, true) != 0) {
    PrepareTextures(host, used, false);
    return -1;
  }
  int status = 0;
  for (int level = 0; level < levels && status == 0; ++level) {
    std::vector<uint8_t> part;
    try {
      MeshObject copy = object;
      copy.smoothing.clear();
      const int smoothing = size_t(level) < object.smoothing.size() ? object.smoothing[size_t(level)] : 0;
      part = ZorvelizeMesh(host, &copy, object.gridSteps[size_t(level)], smoothing, options, &result.pose);
    } catch (const std::bad_alloc&) {
      host.ReportError(msg::ObjectCopy);
      status = -1;
      break;
    }
    if (part.empty()) {
      status = -1;
      break;
    }
    parts.push_back(std::move(part));
  }
  PrepareTextures(host, used, false);
  if (status != 0) return -1;
  if (parts.empty()) {
    // An object without levels has no geometry; its pose is still wanted.
    result.voxObject.clear();
    return ComputeMeshPose(host, object, result.pose);
  }
  try {
    if (!JoinLevels(parts, options.layout, result.voxObject)) {
      host.ReportError(msg::NoRoomComplex);
      return -1;
    }
  } catch (const std::bad_alloc&) {
    host.ReportError(msg::NoRoomComplex);
    return -1;
  }
  return 0;
}

void ComputePlacement(const MeshObject& object, const MeshPose& pose, int frameCount, ObjectPlacement& placement) {
  const Matrix3 v = InverseForPlacement(pose.matrix);
  const size_t n = size_t(frameCount > 0 ? frameCount : 0);
  placement.flags.assign(n, 0);
  placement.locations.resize(n);
  placement.matrices.resize(n);
  const auto& c = pose.centre;
  for (size_t f = 0; f < n; ++f) {
    Matrix3 m = Identity3;
    std::array<float, 3> t = {0, 0, 0};
    if (!object.matrices.empty()) m = object.matrices[std::min(f, object.matrices.size() - 1)];
    if (!object.locations.empty()) t = object.locations[std::min(f, object.locations.size() - 1)];
    const Matrix3 r = Multiply(m, v);
    placement.matrices[f] = r;
    for (int i = 0; i < 3; ++i)
      placement.locations[f][size_t(i)] =
          r[size_t(i * 3)] * c[0] + r[size_t(i * 3 + 1)] * c[1] + r[size_t(i * 3 + 2)] * c[2] + t[size_t(i)];
  }
  placement.parent = object.parent;
  const auto& p = object.pivot;
  const auto& u = pose.matrix;
  for (int i = 0; i < 3; ++i)
    placement.pivot[size_t(i)] =
        u[size_t(i * 3)] * p[0] + u[size_t(i * 3 + 1)] * p[1] + u[size_t(i * 3 + 2)] * p[2] - c[size_t(i)];
}
