// Slicing ("Zorvel generation"): every triangle is cut into narrow triangles
// from its shortest edge to the opposite apex, and sample points at most 0.7
// grid units apart along their long sides are deposited as voxels. The
// arithmetic is 32-bit float in the order written.
#include <cmath>

#include "palette/material.h"
#include "palette/palette_tables.h"
#include "voxelize/generator.h"
#include "voxelize/messages.h"

namespace voxelize {

namespace {

// 1 / 0.7: samples per grid unit along a side.
constexpr float StepsPerUnit = 1.4285714f;

struct Vec3 {
  float x, y, z;
};
Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(Vec3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 Normalise(Vec3 a) {
  const float l = Length(a);
  return l > 0.0f ? Vec3{a.x / l, a.y / l, a.z / l} : a;
}
// (1 - t) p + t q
Vec3 Lerp(Vec3 p, Vec3 q, float t) {
  const float s = 1.0f - t;
  return {s * p.x + t * q.x, s * p.y + t * q.y, s * p.z + t * q.z};
}

// Deposits the samples of one face into the VoxelGrid.
class FaceSlicer {
 public:
  explicit FaceSlicer(ZorvelGenerator& g)
      : g_(g), half_{g.dims[0] >> 1, g.dims[1] >> 1, g.dims[2] >> 1} {}

  // Prepares the colour source of a face: a flat column, or the plane
  // distances of a textured face's barycentric weights.
  void beginFace(const MeshFace& face, int faceIndex, const Material& material, Vec3 a, Vec3 b, Vec3 c) {
    normal_ = {face.normal[0], face.normal[1], face.normal[2]};
    material_ = &material;
    flat_ = material.kind == uint8_t(MaterialKind::Flat);
    if (flat_) {
      const int column = ColourIndex(g_.host.Palette(), nullptr, face.material);
      flatIndex_ = uint8_t(column >= 0 && column < 256 ? column : 0);
      return;
    }
    a_ = a;
    b_ = b;
    c_ = c;
    // For each vertex, the unit vector across its opposite edge towards it
    // and the vertex's distance from that edge.
    weightVector(a, c, Sub(c, b), eA_, dA_);  // edge BC, measured from C
    weightVector(b, a, Sub(a, c), eB_, dB_);  // edge CA, measured from A
    weightVector(c, b, Sub(b, a), eC_, dC_);  // edge AB, measured from B
    const MeshObject& mesh = g_.mesh;
    hasUv_ = size_t(faceIndex) < mesh.textureFaces.size();
    if (hasUv_) {
      for (int i = 0; i < 3; ++i) {
        const auto& t = mesh.textureVertices[size_t(mesh.textureFaces[size_t(faceIndex)][size_t(i)])];
        uv_[i] = {t[0], t[1], t[2]};
      }
    }
  }

  int deposit(Vec3 p) {
    // Colour of the sample.
    uint8_t rgb[3] = {0, 0, 0};
    if (!flat_) sampleTexture(p, rgb);

    const int x = RoundHalfAway(p.x) + half_[0];
    const int y = RoundHalfAway(p.y) + half_[1];
    const int z = RoundHalfAway(p.z) + half_[2];
    if (x < 0 || x >= g_.dims[0] || y < 0 || y >= g_.dims[1] || z < 0 || z >= g_.dims[2]) {
      g_.report(msg::BadVoxel);
      return -1;
    }
    Voxel*& head = g_.cell(x, y);
    Voxel* v = head;
    while (v != nullptr && v->z != z) v = v->next;
    if (v == nullptr) {
      v = g_.pool.take();
      if (v == nullptr) {
        g_.report(msg::AddVoxel);
        return -1;
      }
      v->x = int16_t(x);
      v->y = int16_t(y);
      v->z = int16_t(z);
      v->normal[0] = normal_.x;
      v->normal[1] = normal_.y;
      v->normal[2] = normal_.z;
      v->colour = 0;
      if (flat_) {
        v->flags = VoxelFlat | VoxelInGrid;
        v->flatIndex = flatIndex_;
      } else {
        v->flags = VoxelInGrid;
        v->flatIndex = 0;
        if (startColour(*v, rgb) != 0) {
          g_.pool.give(v);
          g_.report(msg::AddVoxel);
          return -1;
        }
      }
      v->next = head;
      head = v;
      ++g_.voxelCount;
    } else if (merge(*v, rgb) != 0) {
      g_.report(msg::AddVoxel);
      return -1;
    }
    uint8_t shown[3];
    VoxelPreviewColour(g_, *v, shown);
    return g_.host.PlotPoint(x - half_[0], z - half_[2], shown) != 0 ? -1 : 0;
  }

 private:
  // The first true-colour sample of a voxel.
  int startColour(Voxel& v, const uint8_t rgb[3]) {
    if (v.colour == 0) v.colour = g_.colours.take();
    if (v.colour == 0) return -1;
    ColourSample& c = g_.colours.at(v.colour);
    c.rgb[0] = float(rgb[0]);
    c.rgb[1] = float(rgb[1]);
    c.rgb[2] = float(rgb[2]);
    c.count = 1;
    return 0;
  }

  int merge(Voxel& v, const uint8_t rgb[3]) {
    // Normals are added sign-aligned with what the voxel holds.
    if (v.normal[0] * normal_.x + v.normal[1] * normal_.y + v.normal[2] * normal_.z >= 0.0f) {
      v.normal[0] += normal_.x;
      v.normal[1] += normal_.y;
      v.normal[2] += normal_.z;
    } else {
      v.normal[0] -= normal_.x;
      v.normal[1] -= normal_.y;
      v.normal[2] -= normal_.z;
    }
    if (flat_) return 0;  // a flat sample never replaces what is there
    if (v.flags & VoxelFlat) {
      // A true colour replaces a flat one.
      v.flags &= uint8_t(~VoxelFlat);
      return startColour(v, rgb);
    }
    ColourSample& c = g_.colours.at(v.colour);
    const float k = float(c.count);
    const float keep = k / (k + 1.0f), add = 1.0f / (k + 1.0f);
    for (int i = 0; i < 3; ++i) c.rgb[i] = c.rgb[i] * keep + float(rgb[i]) * add;
    ++c.count;
    return 0;
  }

  void sampleTexture(Vec3 p, uint8_t rgb[3]) const {
    float w[3] = {Dot(Sub(p, c_), eA_) / dA_, Dot(Sub(p, a_), eB_) / dB_, Dot(Sub(p, b_), eC_) / dC_};
    if (!std::isfinite(w[0]) || !std::isfinite(w[1]) || !std::isfinite(w[2])) {
      // A triangle without area has no weights: it takes vertex A's texel.
      w[0] = 1.0f;
      w[1] = w[2] = 0.0f;
    }
    float uvw[3] = {0, 0, 0};
    if (hasUv_) {
      uvw[0] = w[0] * uv_[0].x + w[1] * uv_[1].x + w[2] * uv_[2].x;
      uvw[1] = w[0] * uv_[0].y + w[1] * uv_[1].y + w[2] * uv_[2].y;
      uvw[2] = w[0] * uv_[0].z + w[1] * uv_[1].z + w[2] * uv_[2].z;
    }
    material_->SampleColour(w, uvw, rgb);
  }

  // The in-plane unit vector across an edge towards `vertex`, and the
  // vertex's distance from the edge along it.
  void weightVector(Vec3 vertex, Vec3 from, Vec3 edge, Vec3& e, float& distance) const {
    e = Normalise(Cross(normal_, edge));
    distance = Dot(Sub(vertex, from), e);
    if (distance < 0.0f) {
      e = {-e.x, -e.y, -e.z};
      distance = -distance;
    }
  }

 public:
  bool flat() const { return flat_; }

 private:
  ZorvelGenerator& g_;
  const int half_[3];
  Vec3 normal_ = {0, 0, 0};
  const Material* material_ = nullptr;
  bool flat_ = true;
  uint8_t flatIndex_ = 0;
  Vec3 a_{}, b_{}, c_{};
  Vec3 eA_{}, eB_{}, eC_{};
  float dA_ = 0, dB_ = 0, dC_ = 0;
  bool hasUv_ = false;
  Vec3 uv_[3] = {};
};

// Fills one narrow triangle: samples along both long sides from the apex.
int FillNarrow(ZorvelGenerator& g, FaceSlicer& slicer, Vec3 v, Vec3 b1, Vec3 b2) {
  const int d = int(Length(Sub(b2, v)) * StepsPerUnit) + 1;
  const int f = int(Length(Sub(b1, v)) * StepsPerUnit) + 1;
  if (d - f >= 2 || f - d >= 2) {
    g.report(msg::InvalidNarrowTriangle);
    return -1;
  }
  if (slicer.deposit(v) != 0 || slicer.deposit(b1) != 0 || slicer.deposit(b2) != 0) return -1;
  const int steps = d < f ? d : f;
  const float fd = float(d), ff = float(f);
  for (int k = 1; k <= steps; ++k) {
    if (slicer.deposit(Lerp(v, b2, float(k) / fd)) != 0) return -1;
    if (slicer.deposit(Lerp(v, b1, float(k) / ff)) != 0) return -1;
  }
  return 0;
}

int SliceTriangle(ZorvelGenerator& g, FaceSlicer& slicer, Vec3 a, Vec3 b, Vec3 c) {
  if (slicer.deposit(a) != 0 || slicer.deposit(b) != 0 || slicer.deposit(c) != 0) return -1;
  // The base is the shortest edge (ties to CA, then to AB), the apex the
  // vertex opposite it.
  const float ca = Length(Sub(c, a)), cb = Length(Sub(c, b)), ba = Length(Sub(b, a));
  Vec3 apex, from, to;
  float baseLength;
  const bool caSmaller = ca <= cb;
  const float smaller = caSmaller ? ca : cb;
  if (ba > smaller) {
    if (caSmaller) {
      apex = b, from = a, to = c;
    } else {
      apex = a, from = b, to = c;
    }
    baseLength = smaller;
  } else {
    apex = c, from = b, to = a;
    baseLength = ba;
  }
  const int n = int(baseLength * StepsPerUnit) + 1;
  const float fn = float(n);
  Vec3 previous = from;
  for (int i = 1; i <= n; ++i) {
    if (g.stopped()) return -1;
    const Vec3 next = Lerp(from, to, float(i) / fn);
    if (FillNarrow(g, slicer, apex, previous, next) != 0) return -1;
    previous = next;
  }
  return 0;
}

}  // namespace

int SliceTriangles(ZorvelGenerator& g) {
  ConversionHost& host = g.host;
  for (int column = 0; column < 256; ++column) FlatPreviewColour(host.Palette(), column, g.columnPreview[column]);

  if (host.ClearPreview() != 0) return -1;
  if (host.BeginProgress(g.mesh.FaceCount(), g.caption(msg::Generation).c_str()) != 0) return -1;
  FaceSlicer slicer(g);
  const auto& vertices = g.mesh.vertices;
  for (size_t f = 0; f < g.mesh.faces.size(); ++f) {
    const MeshFace& face = g.mesh.faces[f];
    Material* material = host.GetMaterial(face.material);
    if (material == nullptr) {
      host.EndProgress();
      return -1;
    }
    int result = 0;
    if (material->kind != uint8_t(MaterialKind::Flat) && material->kind != uint8_t(MaterialKind::Textured)) {
      g.report(msg::UnsupportedMaterial);
      result = -1;
    } else {
      const auto& va = vertices[size_t(face.v[0])];
      const auto& vb = vertices[size_t(face.v[1])];
      const auto& vc = vertices[size_t(face.v[2])];
      const Vec3 a{va[0], va[1], va[2]}, b{vb[0], vb[1], vb[2]}, c{vc[0], vc[1], vc[2]};
      slicer.beginFace(face, int(f), *material, a, b, c);
      result = SliceTriangle(g, slicer, a, b, c);
      if (result == 0 && (host.StepProgress(int(f)) != 0 || g.stopped())) result = -1;
    }
    host.ReleaseMaterial(material);
    if (result != 0) {
      host.EndProgress();
      return -1;
    }
  }
  return host.EndProgress() != 0 ? -1 : 0;
}

}  // namespace voxelize
