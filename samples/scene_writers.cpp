#include "samples/scene_writers.h"

#include "tests/import/lws_writers.h"
#include "zvlfile/io.h"
#include "zvlfile/le.h"

#include <cmath>
#include <cstdio>

namespace samples {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Little-endian chunk bytes with 6-byte headers whose lengths are filled in
// when the chunk ends.
class Chunks {
 public:
  std::vector<uint8_t> bytes;
  size_t Begin(uint16_t id) {
    const size_t at = bytes.size();
    U16(id);
    U32(0);
    return at;
  }
  void End(size_t at) { zvl::le::put32(bytes.data() + at + 2, uint32_t(bytes.size() - at)); }
  void U8(uint8_t v) { bytes.push_back(v); }
  void U16(uint16_t v) { zvl::le::append16(bytes, v); }
  void U32(uint32_t v) { zvl::le::append32(bytes, v); }
  void F32(float v) { zvl::le::appendF32(bytes, v); }
  void Str(const std::string& s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
  }
  void Colour(uint16_t id, const std::array<uint8_t, 3>& rgb) {
    const size_t chunk = Begin(id);
    const size_t triple = Begin(0x0011);
    for (uint8_t c : rgb) U8(c);
    End(triple);
    End(chunk);
  }
  void Percent(uint16_t id, uint16_t value) {
    const size_t chunk = Begin(id);
    const size_t percent = Begin(0x0030);
    U16(value);
    End(percent);
    End(chunk);
  }
  template <size_t N>
  void Track(uint16_t id, const std::vector<std::pair<uint32_t, std::array<float, N>>>& keys) {
    const size_t chunk = Begin(id);
    U16(0);
    U32(0);
    U32(0);
    U32(uint32_t(keys.size()));
    for (const auto& [frame, values] : keys) {
      U32(frame);
      U16(0);
      for (float v : values) F32(v);
    }
    End(chunk);
  }
};

void WriteMaterial(Chunks& out, const SampleMaterial& material) {
  const size_t chunk = out.Begin(0xAFFF);
  const size_t name = out.Begin(0xA000);
  out.Str(material.name);
  out.End(name);
  const std::array<uint8_t, 3> ambient{uint8_t(material.colour[0] / 4), uint8_t(material.colour[1] / 4),
                                       uint8_t(material.colour[2] / 4)};
  out.Colour(0xA010, ambient);
  out.Colour(0xA020, material.colour);
  out.Colour(0xA030, {200, 200, 200});
  out.Percent(0xA040, 30);
  out.Percent(0xA041, 20);
  const size_t shading = out.Begin(0xA100);
  out.U16(3);
  out.End(shading);
  if (!material.texture.empty()) {
    const size_t map = out.Begin(0xA200);
    out.Percent(0x0030, 100);
    const size_t file = out.Begin(0xA300);
    out.Str(material.texture);
    out.End(file);
    out.End(map);
  }
  out.End(chunk);
}

void WriteMesh(Chunks& out, const SampleMesh& mesh, const std::string& materialName) {
  const size_t object = out.Begin(0x4000);
  out.Str(mesh.name);
  const size_t tri = out.Begin(0x4100);
  const size_t points = out.Begin(0x4110);
  out.U16(uint16_t(mesh.vertices.size()));
  for (const auto& v : mesh.vertices)
    for (float c : v) out.F32(c);
  out.End(points);
  const size_t faces = out.Begin(0x4120);
  out.U16(uint16_t(mesh.faces.size()));
  for (const auto& f : mesh.faces) {
    for (uint16_t v : f) out.U16(v);
    out.U16(7);
  }
  const size_t group = out.Begin(0x4130);
  out.Str(materialName);
  out.U16(uint16_t(mesh.faces.size()));
  for (size_t i = 0; i < mesh.faces.size(); ++i) out.U16(uint16_t(i));
  out.End(group);
  out.End(faces);
  if (!mesh.uvs.empty()) {
    const size_t uv = out.Begin(0x4140);
    out.U16(uint16_t(mesh.uvs.size()));
    for (const auto& t : mesh.uvs)
      for (float c : t) out.F32(c);
    out.End(uv);
  }
  const size_t matrix = out.Begin(0x4160);
  for (float v : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f}) out.F32(v);
  out.End(matrix);
  out.End(tri);
  out.End(object);
}

void WriteNode(Chunks& out, const Node3ds& node, uint16_t id) {
  const size_t chunk = out.Begin(0xB002);
  const size_t nodeId = out.Begin(0xB030);
  out.U16(id);
  out.End(nodeId);
  const size_t header = out.Begin(0xB010);
  out.Str(node.name);
  out.U16(0);
  out.U16(0);
  out.U16(node.parent);
  out.End(header);
  const size_t pivot = out.Begin(0xB013);
  for (float p : node.pivot) out.F32(p);
  out.End(pivot);
  out.Track(0xB020, node.positions);
  out.Track(0xB021, node.rotations);
  out.Track(0xB022, node.scales);
  if (!node.hides.empty()) {
    std::vector<std::pair<uint32_t, std::array<float, 0>>> hides;
    for (uint32_t frame : node.hides) hides.push_back({frame, {}});
    out.Track(0xB029, hides);
  }
  out.End(chunk);
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

}  // namespace

std::vector<uint8_t> Write3ds(const Scene3ds& scene) {
  Chunks out;
  const size_t magic = out.Begin(0x4D4D);
  const size_t version = out.Begin(0x0002);
  out.U32(3);
  out.End(version);
  const size_t mdata = out.Begin(0x3D3D);
  const size_t meshVersion = out.Begin(0x3D3E);
  out.U32(3);
  out.End(meshVersion);
  for (const SampleMaterial& material : scene.materials) WriteMaterial(out, material);
  const size_t scale = out.Begin(0x0100);
  out.F32(1.0f);
  out.End(scale);
  for (const SampleMesh& mesh : scene.meshes)
    WriteMesh(out, mesh, mesh.groupName.empty() ? scene.materials[size_t(mesh.material)].name : mesh.groupName);
  out.End(mdata);
  const size_t kfdata = out.Begin(0xB000);
  const size_t kfhdr = out.Begin(0xB00A);
  out.U16(5);
  out.Str("windmill");
  out.U32(scene.animationLength);
  out.End(kfhdr);
  const size_t segment = out.Begin(0xB008);
  out.U32(0);
  out.U32(scene.animationLength);
  out.End(segment);
  const size_t current = out.Begin(0xB009);
  out.U32(0);
  out.End(current);
  for (size_t i = 0; i < scene.nodes.size(); ++i) WriteNode(out, scene.nodes[i], uint16_t(i));
  out.End(kfdata);
  out.End(magic);
  return out.bytes;
}

Scene3ds Windmill3ds() {
  Scene3ds scene;
  scene.materials = WindmillMaterials();
  scene.meshes = WindmillMeshes();
  scene.animationLength = kWindmillFrames - 1;
  const float last = float(kWindmillFrames - 1);
  Node3ds tower;
  tower.name = "tower";
  tower.positions = {{0, {0, 2, 0}}, {kWindmillFrames - 1, {0, -2, 0}}};
  tower.rotations = {{0, {0, 0, 0, 1}}, {kWindmillFrames - 1, {1.2f, 0, 0, 1}}};
  tower.scales = {{0, {1, 1, 1}}};
  Node3ds cap;
  cap.name = "cap";
  cap.parent = 0;
  cap.positions = {{0, {0, 0, 1.9f}}};
  cap.rotations = {{0, {0, 0, 0, 1}}};
  cap.scales = {{0, {1, 1, 1}}};
  Node3ds blades;
  blades.name = "blades";
  blades.parent = 0;
  blades.positions = {{0, {-0.75f, 0, 0.9f}}};
  blades.rotations = {{0, {0, 1, 0, 0}}, {kWindmillFrames - 1, {float(last * kPi / 12), 1, 0, 0}}};
  blades.scales = {{0, {1, 1, 1}}};
  scene.nodes = {tower, cap, blades};
  return scene;
}

RtgFiles WindmillRtg(const std::string& materialsName) {
  RtgFiles files;
  const std::vector<SampleMesh> meshes = WindmillMeshes();
  const std::vector<SampleMaterial> materials = WindmillMaterials();
  std::string s;
  s += "HEADER_TITLE windmill\nHEADER_VERSION 1.0\nHEADER_DATE sample\n";
  s += "NUMBER_OF_OBJECTS " + std::to_string(meshes.size()) + "\n";
  s += "OUTPUT_VERT_NORMS off\nOUTPUT_TEX_COORDS on\nOUTPUT_POLY_NORMS off\nOUTPUT_HIERARCHY on\n";
  s += "SHOW_INDEX_COUNTERS off\nOUTPUT_VERT_COLORS off\nTEXTURE_MODE per_polygon\n";
  // Groups carry the animation: the mill moves the tower and the cap, the
  // rotor turns the blades.
  const auto entry = [](int level, const char* kind, const std::string& name, std::array<float, 3> t) {
    // Every value after its label.
    return std::to_string(level) + " " + kind + " " + name + " Tx " + Number(t[0]) + " Ty " + Number(t[1]) +
           " Tz " + Number(t[2]) + " Rx 0 Ry 0 Rz 0 Sx 1 Sy 1 Sz 1 Fx 0 Fy 0 Fz 0 Px 0 Py 0 Pz 0" +
           " worldTM: 1 0 0 0 0 1 0 0 0 0 1 0\n";
  };
  s += "HIERARCHY_LIST HXP 5\n";
  s += entry(0, "G", "mill", {0, 0, 0});
  s += entry(1, "P", "tower", {0, 0, 0});
  s += entry(1, "P", "cap", {0, 1.9f, 0});
  s += entry(1, "G", "rotor", {-0.75f, 0.9f, 0});
  s += entry(2, "P", "blades", {0, 0, 0});
  s += "END_HIERARCHY_LIST\n";
  for (const SampleMesh& mesh : meshes) {
    // y up: (x, y, z) of the sample becomes (x, z, -y).
    s += "OBJECT_START " + mesh.name + "\n";
    const size_t texCount = std::max<size_t>(mesh.uvs.size(), 1);
    s += "v" + std::to_string(mesh.vertices.size()) + " t" + std::to_string(texCount) + " p" +
         std::to_string(mesh.faces.size()) + "\nVERTEX\n";
    for (const auto& v : mesh.vertices) s += Number(v[0]) + " " + Number(v[2]) + " " + Number(-v[1]) + "\n";
    s += "TEXCOORD\n";
    if (mesh.uvs.empty()) s += "0 0\n";
    for (const auto& t : mesh.uvs) s += Number(t[0]) + " " + Number(t[1]) + "\n";
    s += "POLYGON\n";
    const SampleMaterial& material = materials[size_t(mesh.material)];
    for (const auto& f : mesh.faces) {
      s += std::to_string(f[0]) + " " + std::to_string(f[1]) + " " + std::to_string(f[2]) + " ";
      if (mesh.uvs.empty())
        s += "0 0 0 ";
      else
        s += std::to_string(f[0]) + " " + std::to_string(f[1]) + " " + std::to_string(f[2]) + " ";
      if (material.texture.empty())
        s += std::to_string(material.colour[0]) + " " + std::to_string(material.colour[1]) + " " +
             std::to_string(material.colour[2]) + "\n";
      else
        s += "T0\n";
    }
  }
  int width = 0, height = 0;
  const std::vector<uint8_t> texels = BrickTexels(width, height);
  s += "TEXTURE_TABLE " + materialsName + " 1 0 bricks\n" + std::to_string(width) + " " + std::to_string(height) +
       " 0\n";
  files.scene = s;
  // The materials file: no header, then R, G, B, A per texel.
  for (size_t i = 0; i < texels.size(); i += 3)
    files.materials.insert(files.materials.end(), {texels[i], texels[i + 1], texels[i + 2], 255});
  std::string mill, rotor;
  for (int f = 0; f < kWindmillFrames; ++f) {
    const double z = -2.0 + 4.0 * f / (kWindmillFrames - 1), turn = 1.2 * 180 / kPi * f / (kWindmillFrames - 1);
    mill += "F" + std::to_string(f) + " X_Translate 0 Y_Translate 0 Z_Translate " + Number(z) + " X_Rotate 0 Y_Rotate " +
            Number(turn) + " Z_Rotate 0 X_Scale 1 Y_Scale 1 Z_Scale 1\n";
    rotor += "F" + std::to_string(f) + " X_Rotate " + Number(15.0 * f) + " Y_Rotate 0 Z_Rotate 0\n";
  }
  files.animations = {{"mill", mill}, {"rotor", rotor}};
  return files;
}

LwsFiles WindmillLws() {
  LwsFiles files;
  const std::vector<SampleMesh> meshes = WindmillMeshes();
  const std::vector<SampleMaterial> materials = WindmillMaterials();
  std::vector<lwstest::Object> objects;
  for (const SampleMesh& mesh : meshes) {
    lwstest::Lwob lwob;
    for (const auto& v : mesh.vertices) lwob.points.push_back({v[0], v[2], -v[1]});
    for (const auto& f : mesh.faces) lwob.polygons.push_back({{f[0], f[1], f[2]}, 1});
    const SampleMaterial& material = materials[size_t(mesh.material)];
    lwstest::Surface surface = lwstest::NamedSurface(material.name);
    surface.colour = material.colour;
    lwob.surfaces.push_back(surface);
    const std::string file = mesh.name + ".lwo";
    files.objects.push_back({file, lwstest::WriteLwob(lwob)});
    objects.push_back(lwstest::Load(file));
  }
  const int last = kWindmillFrames - 1;
  objects[0].keys = {lwstest::MakeKey({0, 0, -2, 0, 0, 0, 1, 1, 1}, 0),
                     lwstest::MakeKey({0, 0, 2, 1.2 * 180 / kPi, 0, 0, 1, 1, 1}, last)};
  objects[1].parent = 0;
  objects[1].keys = {lwstest::MakeKey({0, 1.9, 0, 0, 0, 0, 1, 1, 1}, 0)};
  objects[2].parent = 0;
  objects[2].keys = {lwstest::MakeKey({-0.75, 0.9, 0, 0, 0, 0, 1, 1, 1}, 0),
                     lwstest::MakeKey({-0.75, 0.9, 0, 0, 15.0 * last, 0, 1, 1, 1}, last)};
  files.scene = lwstest::Scene(objects, last);
  return files;
}

int WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return ZvlWriteFileReplacing(path, [&bytes](ZvlHandle handle) {
    return ZvlCheckedWrite(handle, bytes.data(), long(bytes.size())) == long(bytes.size()) ? 0 : ZvlFailure;
  });
}

}  // namespace samples
