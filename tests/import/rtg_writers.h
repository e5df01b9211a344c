// Small writers of Alias RTG scenes, materials files and animation files for
// the tests and the fuzz target's seeds.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace rtgtest {

struct Node {
  int level = 0;
  std::string kind = "P";
  std::string name;
  std::array<float, 3> translation{0, 0, 0}, rotation{0, 0, 0} /* degrees */, scale{1, 1, 1}, pivot{0, 0, 0};
  std::array<double, 9> world{1, 0, 0, 0, 1, 0, 0, 0, 1};  // row after row
  std::array<double, 3> worldTranslation{0, 0, 0};
};

struct Polygon {
  std::array<int, 3> v{0, 1, 2}, tex{0, 1, 2};
  int texture = -1;
  std::array<int, 3> rgb{255, 0, 0};
};

struct Object {
  std::string name;
  std::vector<std::array<float, 3>> vertices{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  std::vector<std::array<float, 2>> texCoords{{0, 0}, {1, 0}, {0, 1}};
  std::vector<Polygon> polygons{Polygon{}};
};

struct Scene {
  bool texCoords = true, indexCounters = true, mat4x4 = false;
  std::vector<Node> nodes;
  std::vector<Object> objects;
  std::string textureFile;
  std::vector<std::array<int, 2>> textures;  // width, height
  int headerSize = 8;
};

inline Node MakeNode(int level, const std::string& kind, const std::string& name) {
  Node n;
  n.level = level;
  n.kind = kind;
  n.name = name;
  return n;
}

inline std::string Num(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

inline std::string WriteRtg(const Scene& scene) {
  auto flag = [](bool on) { return on ? std::string("on") : std::string("off"); };
  std::string s = "HEADER_TITLE test scene\nHEADER_VERSION 2.1\nHEADER_DATE today\n";
  s += "NUMBER_OF_OBJECTS " + std::to_string(scene.objects.size()) + "\n";
  s += "OUTPUT_VERT_NORMS off\nOUTPUT_TEX_COORDS " + flag(scene.texCoords) + "\nOUTPUT_POLY_NORMS off\n";
  s += "OUTPUT_HIERARCHY on\nSHOW_INDEX_COUNTERS " + flag(scene.indexCounters) + "\nOUTPUT_VERT_COLORS off\n";
  s += "TEXTURE_MODE per_polygon\n";
  s += std::string("HIERARCHY_LIST ") + (scene.mat4x4 ? "MAT4x4 " : "HXP ") + std::to_string(scene.nodes.size()) + "\n";
  for (const Node& n : scene.nodes) {
    s += std::to_string(n.level) + " " + n.kind + " " + n.name;
    if (!scene.mat4x4) {
      const char* labels[5] = {"T", "R", "S", "F", "P"};
      const std::array<float, 3> further{0, 0, 0};
      const std::array<float, 3>* triples[5] = {&n.translation, &n.rotation, &n.scale, &further, &n.pivot};
      for (int t = 0; t < 5; ++t)
        for (int k = 0; k < 3; ++k) s += std::string(" ") + labels[t] + char('x' + k) + ": " + Num((*triples[t])[size_t(k)]);
    }
    s += "\n  localTM: 1 0 0 0\n  worldTM:";
    for (int k = 0; k < 3; ++k) {
      for (int row = 0; row < 3; ++row) s += " " + Num(n.world[size_t(row * 3 + k)]);
      s += " " + Num(n.worldTranslation[size_t(k)]);
    }
    s += "\n";
  }
  s += "END_HIERARCHY_LIST\n";
  for (const Object& o : scene.objects) {
    const std::string index = scene.indexCounters ? "  i " : "  ";
    s += "OBJECT_START " + o.name + "\nv" + std::to_string(o.vertices.size());
    if (scene.texCoords) s += " t" + std::to_string(o.texCoords.size());
    s += " p" + std::to_string(o.polygons.size()) + "\nVERTEX\n";
    for (const auto& v : o.vertices) s += index + Num(v[0]) + " " + Num(v[1]) + " " + Num(v[2]) + "\n";
    if (scene.texCoords) {
      s += "TEXCOORD\n";
      for (const auto& t : o.texCoords) s += index + Num(t[0]) + " " + Num(t[1]) + "\n";
    }
    s += "POLYGON\n";
    for (const Polygon& p : o.polygons) {
      s += index + std::to_string(p.v[0]) + " " + std::to_string(p.v[1]) + " " + std::to_string(p.v[2]);
      if (scene.texCoords) s += " " + std::to_string(p.tex[0]) + " " + std::to_string(p.tex[1]) + " " + std::to_string(p.tex[2]);
      if (p.texture >= 0) s += " T " + std::to_string(p.texture) + "\n";
      else s += " " + std::to_string(p.rgb[0]) + " " + std::to_string(p.rgb[1]) + " " + std::to_string(p.rgb[2]) + "\n";
    }
    s += "OBJECT_END\n";
  }
  if (!scene.textures.empty()) {
    s += "TEXTURE_TABLE " + scene.textureFile + " " + std::to_string(scene.textures.size()) + " " +
         std::to_string(scene.headerSize) + " rest of the line\n";
    for (const auto& t : scene.textures)
      s += (scene.indexCounters ? "  i " : "  ") + std::to_string(t[0]) + " " + std::to_string(t[1]) + " 0\n";
  }
  return s;
}

// The materials file: the header, then per texture width x height pixels of
// R, G, B and a dropped fourth byte; pixel i of texture k is (k, i, 7).
inline std::vector<uint8_t> WriteBin(const Scene& scene) {
  std::vector<uint8_t> bytes(size_t(scene.headerSize), 0xAB);
  for (size_t k = 0; k < scene.textures.size(); ++k)
    for (int i = 0; i < scene.textures[k][0] * scene.textures[k][1]; ++i)
      bytes.insert(bytes.end(), {uint8_t(k), uint8_t(i), 7, 0xFF});
  return bytes;
}

struct Frame {
  std::array<float, 3> t{0, 0, 0}, r{0, 0, 0} /* degrees */, s{1, 1, 1};
  bool withScale = true;
};

inline std::string AnimationFile(const std::vector<Frame>& frames) {
  std::string s;
  for (size_t f = 0; f < frames.size(); ++f) {
    const Frame& fr = frames[f];
    s += std::to_string(f) + " X_Translate " + Num(fr.t[0]) + " Y_Translate " + Num(fr.t[1]) + " Z_Translate " +
         Num(fr.t[2]) + " X_Rotate " + Num(fr.r[0]) + " Y_Rotate " + Num(fr.r[1]) + " Z_Rotate " + Num(fr.r[2]);
    if (fr.withScale) s += " X_Scale " + Num(fr.s[0]) + " Y_Scale " + Num(fr.s[1]) + " Z_Scale " + Num(fr.s[2]);
    s += "\n";
  }
  return s;
}

}  // namespace rtgtest
