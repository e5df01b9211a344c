// A small writer of 3D Studio scene files and VUE files for the tests and
// the fuzz targets' seeds.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tdstest {

// Nested chunks: Begin writes a header whose length End fills in.
class ChunkWriter {
 public:
  void Begin(uint16_t id) {
    U16(id);
    open_.push_back(bytes.size());
    U32(0);
  }
  void End() {
    const size_t at = open_.back();
    open_.pop_back();
    const uint32_t length = uint32_t(bytes.size() - at + 2);
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(length >> (8 * i));
  }
  // A chunk without a body.
  void Empty(uint16_t id) { Begin(id), End(); }
  void U8(uint8_t v) { bytes.push_back(v); }
  void U16(uint16_t v) { U8(uint8_t(v)), U8(uint8_t(v >> 8)); }
  void U32(uint32_t v) { U16(uint16_t(v)), U16(uint16_t(v >> 16)); }
  void F32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    U32(v);
  }
  void String(const std::string& s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    U8(0);
  }
  std::vector<uint8_t> bytes;

 private:
  std::vector<size_t> open_;
};

struct Key {
  uint32_t frame = 0;
  std::array<float, 4> value{0, 0, 0, 0};  // position/scale x y z; rotation angle x y z
  uint16_t flags = 0;                      // spline parameters written: bits 0..4
};

struct Node {
  std::string name;
  uint16_t parent = 0xFFFF;
  bool camera = false;  // written as a camera node (an empty slot)
  std::array<float, 3> pivot{0, 0, 0};
  std::vector<Key> position{Key{}}, rotation{Key{0, {0, 0, 0, 1}}}, scale{Key{0, {1, 1, 1, 0}}};
  std::vector<uint32_t> hide;
};

struct Mesh {
  std::string name;
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<uint16_t, 3>> faces;
  std::vector<std::array<float, 2>> textureVertices;
  bool hasMatrix = false;
  std::array<float, 12> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  std::string material;  // one material group over every face, when set
};

struct Material {
  std::string name;
  std::array<uint8_t, 3> diffuse{200, 100, 50};
  int shininess = -1;  // as a percentage sub-chunk when 0 or more
  std::string texture;
};

struct Scene {
  std::vector<Material> materials;
  std::vector<Mesh> meshes;
  std::vector<Node> nodes;
  uint32_t animationLength = 10;
  bool keyframer = true;
};

inline void WriteTrack(ChunkWriter& w, uint16_t id, const std::vector<Key>& keys, int values) {
  w.Begin(id);
  w.U16(0), w.U32(0), w.U32(0), w.U32(uint32_t(keys.size()));
  for (const Key& k : keys) {
    w.U32(k.frame), w.U16(k.flags);
    for (int bit = 0; bit < 5; ++bit)
      if (k.flags & (1u << bit)) w.F32(0.5f + float(bit));
    for (int i = 0; i < values; ++i) w.F32(k.value[size_t(i)]);
  }
  w.End();
}

inline std::vector<uint8_t> Write(const Scene& scene) {
  ChunkWriter w;
  w.Begin(0x4D4D);
  w.Begin(0x0002), w.U32(3), w.End();
  w.Begin(0x3D3D);
  w.Begin(0x3D3E), w.U32(3), w.End();
  for (const Material& m : scene.materials) {
    w.Begin(0xAFFF);
    w.Begin(0xA000), w.String(m.name), w.End();
    w.Begin(0xA020);
    w.Begin(0x0011), w.U8(m.diffuse[0]), w.U8(m.diffuse[1]), w.U8(m.diffuse[2]), w.End();
    w.End();
    if (m.shininess >= 0) w.Begin(0xA040), w.Begin(0x0030), w.U16(uint16_t(m.shininess)), w.End(), w.End();
    if (!m.texture.empty()) w.Begin(0xA200), w.Begin(0xA300), w.String(m.texture), w.End(), w.End();
    w.End();
  }
  w.Begin(0x0100), w.F32(1.0f), w.End();
  w.Begin(0x1200), w.F32(0.0f), w.End();  // a background colour, skipped
  for (const Mesh& m : scene.meshes) {
    w.Begin(0x4000);
    w.String(m.name);
    w.Begin(0x4100);
    w.Begin(0x4110), w.U16(uint16_t(m.vertices.size()));
    for (const auto& v : m.vertices) w.F32(v[0]), w.F32(v[1]), w.F32(v[2]);
    w.End();
    if (!m.textureVertices.empty()) {
      w.Begin(0x4140), w.U16(uint16_t(m.textureVertices.size()));
      for (const auto& t : m.textureVertices) w.F32(t[0]), w.F32(t[1]);
      w.End();
    }
    w.Begin(0x4120), w.U16(uint16_t(m.faces.size()));
    for (const auto& f : m.faces) w.U16(f[0]), w.U16(f[1]), w.U16(f[2]), w.U16(7);
    if (!m.material.empty()) {
      w.Begin(0x4130), w.String(m.material), w.U16(uint16_t(m.faces.size()));
      for (size_t i = 0; i < m.faces.size(); ++i) w.U16(uint16_t(i));
      w.End();
    }
    w.End();
    if (m.hasMatrix) {
      w.Begin(0x4160);
      for (float f : m.matrix) w.F32(f);
      w.End();
    }
    w.End();
    w.Empty(0x4012);  // a display flag
    w.End();
  }
  w.End();
  if (scene.keyframer) {
    w.Begin(0xB000);
    w.Begin(0xB00A), w.U16(5), w.String("MAXSCENE"), w.U32(scene.animationLength), w.End();
    w.Begin(0xB008), w.U32(0), w.U32(scene.animationLength), w.End();
    for (size_t i = 0; i < scene.nodes.size(); ++i) {
      const Node& n = scene.nodes[i];
      w.Begin(n.camera ? 0xB003 : 0xB002);
      w.Begin(0xB030), w.U16(uint16_t(i)), w.End();
      w.Begin(0xB010), w.String(n.name), w.U16(0), w.U16(0), w.U16(n.parent), w.End();
      w.Begin(0xB013), w.F32(n.pivot[0]), w.F32(n.pivot[1]), w.F32(n.pivot[2]), w.End();
      WriteTrack(w, 0xB020, n.position, 3);
      WriteTrack(w, 0xB021, n.rotation, 4);
      WriteTrack(w, 0xB022, n.scale, 3);
      if (!n.hide.empty()) {
        std::vector<Key> keys;
        for (uint32_t f : n.hide) keys.push_back(Key{f, {0, 0, 0, 0}});
        WriteTrack(w, 0xB029, keys, 0);
      }
      w.End();
    }
    w.End();
  }
  w.End();
  return std::move(w.bytes);
}

// A unit cube centred at `c` (8 vertices, 12 faces).
inline Mesh Cube(const std::string& name, std::array<float, 3> c = {0, 0, 0}, float half = 1) {
  Mesh m;
  m.name = name;
  for (int i = 0; i < 8; ++i)
    m.vertices.push_back({c[0] + (i & 1 ? half : -half), c[1] + (i & 2 ? half : -half), c[2] + (i & 4 ? half : -half)});
  m.faces = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
             {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
  return m;
}

inline Node NodeAt(const std::string& name, std::array<float, 3> position, uint16_t parent = 0xFFFF) {
  Node n;
  n.name = name;
  n.parent = parent;
  n.position = {Key{0, {position[0], position[1], position[2], 0}}};
  return n;
}

// A VUE file: per frame block, per object the nine matrix values (column
// after column) and the translation.
struct VueTransform {
  std::string name;
  std::array<float, 9> columns{1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::array<float, 3> translation{0, 0, 0};
};
inline std::string Vue(const std::vector<std::pair<int, std::vector<VueTransform>>>& frames) {
  std::string s = "VERSION 201\n\n";
  char number[32];
  for (const auto& [frame, transforms] : frames) {
    s += "frame " + std::to_string(frame) + "\n";
    for (const VueTransform& t : transforms) {
      s += "transform \"" + t.name + "\"";
      for (float v : t.columns) std::snprintf(number, sizeof number, " %.9g", double(v)), s += number;
      for (float v : t.translation) std::snprintf(number, sizeof number, " %.9g", double(v)), s += number;
      s += "\n";
    }
    s += "camera 0 0 0 1 1 1 0 50\n\n";
  }
  return s;
}

}  // namespace tdstest
