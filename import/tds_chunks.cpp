// The chunk kinds of a 3D Studio scene: materials, named objects, triangle
// meshes, keyframer nodes and their tracks.
#include "import/messages.h"
#include "import/tds_chunk_ids.h"
#include "import/tds_reader.h"

#include <algorithm>
#include <cmath>

namespace importer {

namespace {

Dispatch3DS Result(bool ok) { return ok ? Dispatch3DS::Ok : Dispatch3DS::Failed; }

// Reads a chunk's body with `read` and reports Ok or Failed.
template <class Read>
Dispatch3DS Chunk(Reader3DS& in, const ChunkHeader3DS& h, Read read) {
  return Result(in.ReadChunk(h, [&](size_t, size_t) { return read(); }));
}

bool ReadFloats(Reader3DS& in, float* values, int count) {
  for (int i = 0; i < count; ++i)
    if (!in.F32(values[i])) return false;
  return true;
}

// A colour chunk: the 24-bit and the linear triplet; when only one of them
// is present it stands for both.
bool ReadColour(Reader3DS& in, size_t bodyStart, size_t bodyLength, Colour3DS& colour) {
  bool rgb = false, linear = false;
  auto triplet = [&](std::array<uint8_t, 3>& t) { return in.U8(t[0]) && in.U8(t[1]) && in.U8(t[2]); };
  const bool ok = ReadSubChunks(in, bodyStart, bodyLength, [&](const ChunkHeader3DS& h) {
    switch (h.id) {
      case id3ds::ColourRgb: rgb = true; return Chunk(in, h, [&] { return triplet(colour.rgb); });
      case id3ds::ColourLinear: linear = true; return Chunk(in, h, [&] { return triplet(colour.linear); });
      default: return Dispatch3DS::Unknown;
    }
  });
  if (rgb && !linear) colour.linear = colour.rgb;
  if (linear && !rgb) colour.rgb = colour.linear;
  return ok;
}

// A percentage chunk. Its body begins with a percentage sub-chunk (integer
// or float); its value is the percentage. A body of another form gives the
// low byte of its first word.
bool ReadPercentage(Reader3DS& in, size_t bodyLength, uint8_t& percent) {
  uint16_t first = 0;
  if (!in.U16(first)) return false;
  percent = uint8_t(first & 0xFF);
  uint32_t length = 0;
  if (bodyLength < 6 || !in.U32(length)) return true;
  if (first == id3ds::IntPercentage && length >= 8) {
    uint16_t value = 0;
    if (in.U16(value)) percent = uint8_t(std::min<uint16_t>(value, 255));
  } else if (first == id3ds::FloatPercentage && length >= 10) {
    float value = 0;
    if (in.F32(value) && std::isfinite(value)) percent = uint8_t(std::lround(std::clamp(value, 0.0f, 255.0f)));
  }
  return true;
}

}  // namespace

// ---- Materials ----

Material3DS::Material3DS() {
  ambient.rgb = ambient.linear = {13, 13, 13};
  diffuse.rgb = diffuse.linear = {255, 255, 255};
  specular.rgb = specular.linear = {208, 208, 208};
}

bool Material3DS::Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) {
  return ReadSubChunks(in, bodyStart, bodyLength, [&](const ChunkHeader3DS& h) {
    switch (h.id) {
      case id3ds::MaterialName: return Chunk(in, h, [&] { return in.Name(name); });
      case id3ds::Ambient:
      case id3ds::Diffuse:
      case id3ds::Specular: {
        Colour3DS& colour = h.id == id3ds::Ambient ? ambient : h.id == id3ds::Diffuse ? diffuse : specular;
        return Result(in.ReadChunk(h, [&](size_t s, size_t l) { return ReadColour(in, s, l, colour); }));
      }
      case id3ds::Shininess:
      case id3ds::ShininessStrength: {
        uint8_t& percent = h.id == id3ds::Shininess ? shininess : shininessStrength;
        return Result(in.ReadChunk(h, [&](size_t, size_t l) { return ReadPercentage(in, l, percent); }));
      }
      case id3ds::SelfIllumination: selfIllumination = 1; return Chunk(in, h, [] { return true; });
      case id3ds::Shading: return Chunk(in, h, [&] { return in.U16(shading); });
      case id3ds::TextureMap1:
        hasTexture = 1;
        return Result(in.ReadChunk(h, [&](size_t s, size_t l) {
          return ReadSubChunks(in, s, l, [&](const ChunkHeader3DS& m) {
            if (m.id != id3ds::MapFileName) return Dispatch3DS::Unknown;
            return Chunk(in, m, [&] { return in.String(textureMap, 255); });
          });
        }));
      default: return Dispatch3DS::Unknown;
    }
  });
}

// ---- Meshes ----

bool MaterialGroup3DS::Read(Reader3DS& in, size_t, size_t) {
  uint16_t count = 0;
  if (!in.Name(materialName) || !in.U16(count) || size_t(count) * 2 > in.Remaining()) return false;
  faces.resize(count);
  for (uint16_t& f : faces) in.U16(f);
  return true;
}

bool FaceArray3DS::Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) {
  uint16_t count = 0;
  if (!in.U16(count) || size_t(count) * 8 > in.Remaining()) return false;
  faces.resize(count);
  for (Face3DS& f : faces) {
    in.U16(f.a);
    in.U16(f.b);
    in.U16(f.c);
    in.U16(f.flags);
  }
  const size_t rest = in.Tell();
  return ReadSubChunks(in, rest, bodyStart + bodyLength - rest, [&](const ChunkHeader3DS& h) {
    switch (h.id) {
      case id3ds::MaterialGroup:
        materialGroups.emplace_back();
        return Result(in.ReadChunk(materialGroups.back(), h));
      case id3ds::SmoothingGroups:
        return Chunk(in, h, [&] {
          if (faces.size() * 4 > in.Remaining()) return false;
          smoothingGroups.resize(faces.size());
          for (uint32_t& g : smoothingGroups) in.U32(g);
          return true;
        });
      case id3ds::BoxMap:
        return Chunk(in, h, [&] {
          for (std::string& name : boxMap)
            if (!in.Name(name)) return false;
          return true;
        });
      default: return Dispatch3DS::Unknown;
    }
  });
}

namespace {

// Moves the vertices, stored in the scene's frame, into the object's own
// frame. The mesh matrix maps the object's frame into the scene's:
// scene = origin + x·a0 + y·a1 + z·a2, so the object's frame is taken with
// the inverse of the axis matrix. (For orthonormal axes that equals the dot
// products with the axes; scaled axes need the inverse.) A singular matrix
// falls back to the dot products.
void ToObjectFrame(const std::array<float, 12>& m, std::vector<std::array<float, 3>>& vertices) {
  const Mat3 axes = {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};  // columns a0, a1, a2
  auto length = [&](int i) { return std::sqrt(double(m[i]) * m[i] + double(m[i + 1]) * m[i + 1] + double(m[i + 2]) * m[i + 2]); };
  Mat3 toObject = {m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]};  // rows a0, a1, a2
  const double scale = length(0) * length(3) * length(6);
  Mat3 inverse;
  if (std::abs(Determinant(axes)) > 1e-9 * scale && Inverse(axes, inverse)) toObject = inverse;
  for (auto& v : vertices) {
    const Vec3 d = {double(v[0]) - m[9], double(v[1]) - m[10], double(v[2]) - m[11]};
    const Vec3 r = Apply(toObject, d);
    v = {float(r[0]), float(r[1]), float(r[2])};
  }
}

}  // namespace

bool TriMesh3DS::Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) {
  const bool ok = ReadSubChunks(in, bodyStart, bodyLength, [&](const ChunkHeader3DS& h) {
    switch (h.id) {
      case id3ds::VertexArray:
        return Chunk(in, h, [&] {
          uint16_t count = 0;
          if (!in.U16(count) || size_t(count) * 12 > in.Remaining()) return false;
          vertices.resize(count);
          for (auto& v : vertices) ReadFloats(in, v.data(), 3);
          return true;
        });
      case id3ds::VertexFlags:
        return Chunk(in, h, [&] {
          uint16_t count = 0;
          if (!in.U16(count) || size_t(count) * 2 > in.Remaining()) return false;
          vertexFlags.resize(count);
          for (uint16_t& f : vertexFlags) in.U16(f);
          return true;
        });
      case id3ds::FaceArray: return Result(in.ReadChunk(faceArray, h));
      case id3ds::MaterialGroup:
        hasMeshMaterialGroup = true;
        meshMaterialGroup = MaterialGroup3DS();
        return Result(in.ReadChunk(meshMaterialGroup, h));
      case id3ds::TextureVertices:
        return Chunk(in, h, [&] {
          uint16_t count = 0;
          if (!in.U16(count) || size_t(count) * 8 > in.Remaining()) return false;
          textureVertices.resize(count);
          for (auto& t : textureVertices) ReadFloats(in, t.data(), 2);
          return true;
        });
      case id3ds::MeshMatrix:
        hasMatrix = true;
        return Chunk(in, h, [&] { return ReadFloats(in, matrix.data(), 12); });
      case id3ds::MeshColour: return Chunk(in, h, [&] { return in.U8(colour); });
      default: return Dispatch3DS::Unknown;
    }
  });
  if (hasMatrix) ToObjectFrame(matrix, vertices);
  if (!vertices.empty()) {
    std::array<float, 3> lo = vertices[0], hi = vertices[0];
    for (const auto& v : vertices)
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], v[i]);
        hi[i] = std::max(hi[i], v[i]);
      }
    for (int i = 0; i < 3; ++i) centre[i] = (lo[i] + hi[i]) / 2;
  }
  return ok;
}

bool NamedObject3DS::Read(Reader3DS& in, size_t, size_t) {
  if (!in.Name(name)) return false;
  ChunkHeader3DS h;
  if (in.Remaining() < 6 || !in.Header(h)) {
    in.Error(msg::UnknownObjectKind);
    return true;
  }
  switch (h.id) {
    case id3ds::TriMesh:
      kind = ObjectKind3DS::TriMesh;
      mesh = std::make_unique<TriMesh3DS>();
      if (!in.ReadChunk(*mesh, h)) return false;
      break;
    case id3ds::DirectLight:
    case id3ds::Camera:
      kind = h.id == id3ds::DirectLight ? ObjectKind3DS::Light : ObjectKind3DS::Camera;
      return in.ReadChunk(h, [](size_t, size_t) { return true; });
    default:
      in.Error(msg::UnknownObjectKind);
      return true;
  }
  // Display flags: chunks without a body, up to the first other chunk.
  for (bool more = true; more && in.Remaining() >= 6;) {
    if (!in.Header(h)) break;
    switch (h.id) {
      case id3ds::Hidden: hidden = true; break;
      case id3ds::VisibleInLofter: visibleInLofter = true; break;
      case id3ds::NoCastShadows: noCastShadows = true; break;
      case id3ds::Matte: matte = true; break;
      case id3ds::Fast: fast = true; break;
      case id3ds::Procedural: procedural = true; break;
      case id3ds::Frozen: frozen = true; break;
      case id3ds::NoReceiveShadows: noReceiveShadows = true; more = false; break;
      default: more = false; break;
    }
    if (more && !in.SkipChunk(h)) break;
  }
  // References inside the mesh.
  const auto& faces = mesh->faceArray.faces;
  for (const Face3DS& f : faces)
    if (f.a >= mesh->vertices.size() || f.b >= mesh->vertices.size() || f.c >= mesh->vertices.size())
      return in.Fail(std::string(msg::FaceVertexMissing) + " " + name);
  auto groupFits = [&](const MaterialGroup3DS& g) {
    return std::all_of(g.faces.begin(), g.faces.end(), [&](uint16_t f) { return f < faces.size(); });
  };
  bool groupsFit = std::all_of(mesh->faceArray.materialGroups.begin(), mesh->faceArray.materialGroups.end(), groupFits);
  if (mesh->hasMeshMaterialGroup) groupsFit = groupsFit && groupFits(mesh->meshMaterialGroup);
  if (!groupsFit) return in.Fail(std::string(msg::GroupFaceMissing) + " " + name);
  return true;
}

// ---- Keyframer ----

bool Track3DS::Read(Reader3DS& in, size_t, size_t) {
  uint32_t unused = 0, count = 0;
  if (!in.U16(flags) || !in.U32(unused) || !in.U32(unused) || !in.U32(count)) return false;
  const size_t smallestKey = 6 + 4 * size_t(valueCount_);
  if (count > in.Remaining() / smallestKey) return false;
  keys.resize(count);
  values.assign(count, {0, 0, 0, 0});
  for (uint32_t k = 0; k < count; ++k) {
    KeyHeader3DS& key = keys[k];
    if (!in.U32(key.frame) || !in.U16(key.flags)) return false;
    float* spline[5] = {&key.tension, &key.continuity, &key.bias, &key.easeTo, &key.easeFrom};
    for (int bit = 0; bit < 5; ++bit)
      if ((key.flags & (1u << bit)) && !in.F32(*spline[bit])) return false;
    if (!ReadFloats(in, values[k].data(), valueCount_)) return false;
  }
  return true;
}

bool KeyframerNode3DS::Read(Reader3DS& in, size_t bodyStart, size_t bodyLength) {
  return ReadSubChunks(in, bodyStart, bodyLength, [&](const ChunkHeader3DS& h) {
    switch (h.id) {
      case id3ds::NodeHeader:
        return Chunk(in, h, [&] { return in.Name(name) && in.U16(flags1) && in.U16(flags2) && in.U16(parent); });
      case id3ds::InstanceName: return Chunk(in, h, [&] { return in.Name(instanceName); });
      case id3ds::Pivot: return Chunk(in, h, [&] { return ReadFloats(in, pivot.data(), 3); });
      case id3ds::BoundingBox: return Chunk(in, h, [&] { return ReadFloats(in, boundingBox.data(), 6); });
      case id3ds::PositionTrack: return Result(in.ReadChunk(position, h));
      case id3ds::RotationTrack: return Result(in.ReadChunk(rotation, h));
      case id3ds::ScaleTrack: return Result(in.ReadChunk(scale, h));
      case id3ds::HideTrack: return Result(in.ReadChunk(hide, h));
      case id3ds::NodeId: return Chunk(in, h, [&] { return in.U16(nodeId); });
      default: return Dispatch3DS::Unknown;
    }
  });
}

// ---- Lookups ----

namespace {
std::string Cut(const std::string& name) { return name.substr(0, std::min(name.size(), kName3DSLength)); }
}  // namespace

int Scene3DS::FindMaterial(const std::string& name) const {
  const std::string key = Cut(name);
  for (size_t i = 0; i < materials.size(); ++i)
    if (materials[i].name == key) return int(i);
  return -1;
}

int Scene3DS::FindNode(const std::string& name) const {
  const std::string key = Cut(name);
  for (size_t i = 0; i < nodes.size(); ++i)
    if (nodes[i] && nodes[i]->name == key) return int(i);
  return -1;
}

int Scene3DS::FindMeshOfNode(int nodeIndex) const {
  for (size_t i = 0; i < meshes.size(); ++i)
    if (meshes[i].nodeIndex == nodeIndex) return int(i);
  return -1;
}

int Scene3DS::ParentNode(size_t nodeIndex) const {
  const uint16_t parent = nodes[nodeIndex]->parent;
  if (parent == kNoParent3DS || parent >= nodes.size() || !nodes[parent] || parent == nodeIndex) return -1;
  return parent;
}

KeyframerNode3DS* Scene3DS::NodeOfMesh(size_t meshIndex) const {
  const int32_t n = meshes[meshIndex].nodeIndex;
  if (n < 0 || size_t(n) >= nodes.size()) return nullptr;
  return nodes[size_t(n)].get();
}

}  // namespace importer
