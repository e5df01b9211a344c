// Writes the glTF sample scene for maxhost into a folder: arm.gltf, its
// buffer arm.bin and its picture arm_checker.png. The scene: a base box
// that slides, an arm on it that swings (its sides textured, its ends in the
// base's red, so the arm has two materials), and a point helper at the arm's
// tip named "Arm_FIXPOINT_0". One second of animation.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "render/png_image.h"
#include "zvlfile/io.h"
#include "zvlfile/le.h"

namespace {

struct Buffer {
  std::vector<uint8_t> bytes;
  void f32(float v) { zvl::le::appendF32(bytes, v); }
  void u16(uint16_t v) { zvl::le::append16(bytes, v); }
  void align4() {
    while (bytes.size() % 4) bytes.push_back(0);
  }
};

struct View {
  size_t offset, length;
};

// 24 corners of a box from lo to hi, four per face in the order
// -x, +x, -y, +y, -z, +z.
void BoxCorners(Buffer& b, const float lo[3], const float hi[3]) {
  for (int axis = 0; axis < 3; ++axis)
    for (int side = 0; side < 2; ++side) {
      const int u = (axis + 1) % 3, v = (axis + 2) % 3;
      const float uu[4] = {lo[u], hi[u], hi[u], lo[u]}, vv[4] = {lo[v], lo[v], hi[v], hi[v]};
      for (int k = 0; k < 4; ++k) {
        float p[3];
        p[axis] = side ? hi[axis] : lo[axis];
        p[u] = uu[k];
        p[v] = vv[k];
        for (float c : p) b.f32(c);
      }
    }
}

// Two triangles per face, wound outwards.
void FaceIndices(Buffer& b, int face) {
  const uint16_t base = uint16_t(face * 4);
  const bool flip = face % 2 == 0;
  const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
  for (int i = 0; i < 6; ++i) b.u16(uint16_t(base + quad[flip ? 5 - i : i]));
}

std::string Number(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", double(v));
  return text;
}

int WriteText(const std::string& path, const std::string& text) {
  return ZvlWriteFileReplacing(path, [&](ZvlHandle h) {
    return ZvlCheckedWrite(h, text.data(), long(text.size())) == long(text.size()) ? 0 : -1;
  });
}

int WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return ZvlWriteFileReplacing(path, [&](ZvlHandle h) {
    return ZvlCheckedWrite(h, bytes.data(), long(bytes.size())) == long(bytes.size()) ? 0 : -1;
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_gltf_sample FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  Buffer b;
  std::vector<View> views;
  auto view = [&](auto fill) {
    const size_t start = b.bytes.size();
    fill();
    views.push_back({start, b.bytes.size() - start});
    b.align4();
  };
  const float baseLo[3] = {-1.0f, 0.0f, -1.0f}, baseHi[3] = {1.0f, 0.5f, 1.0f};
  const float armLo[3] = {-0.2f, 0.0f, -0.2f}, armHi[3] = {0.2f, 2.0f, 0.2f};
  view([&] { BoxCorners(b, baseLo, baseHi); });  // 0 base positions
  view([&] { BoxCorners(b, armLo, armHi); });    // 1 arm positions
  view([&] {                                     // 2 texture coordinates
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int f = 0; f < 6; ++f)
      for (const auto& c : uv) {
        b.f32(c[0]);
        b.f32(c[1]);
      }
  });
  view([&] {  // 3 base triangles
    for (int f = 0; f < 6; ++f) FaceIndices(b, f);
  });
  view([&] {  // 4 arm sides (x and z faces)
    for (int f : {0, 1, 4, 5}) FaceIndices(b, f);
  });
  view([&] {  // 5 arm ends (y faces)
    for (int f : {2, 3}) FaceIndices(b, f);
  });
  const int keys = 5;
  view([&] {  // 6 key times
    for (int k = 0; k < keys; ++k) b.f32(float(k) * 0.25f);
  });
  view([&] {  // 7 base positions
    const float x[keys] = {0.0f, 1.0f, 2.0f, 1.0f, 0.0f};
    for (float v : x) {
      b.f32(v);
      b.f32(0.0f);
      b.f32(0.0f);
    }
  });
  view([&] {  // 8 arm rotations about z
    const float degrees[keys] = {0, 30, 0, -30, 0};
    for (float d : degrees) {
      const float half = d * 3.14159265f / 360.0f;
      b.f32(0.0f);
      b.f32(0.0f);
      b.f32(std::sin(half));
      b.f32(std::cos(half));
    }
  });

  std::string j = "{\n  \"asset\": {\"version\": \"2.0\", \"generator\": \"make_gltf_sample\"},\n";
  j += "  \"scene\": 0,\n  \"scenes\": [{\"nodes\": [0]}],\n";
  j += "  \"nodes\": [\n";
  j += "    {\"name\": \"Base\", \"mesh\": 0, \"children\": [1]},\n";
  j += "    {\"name\": \"Arm\", \"mesh\": 1, \"translation\": [0, 0.5, 0], \"children\": [2]},\n";
  j += "    {\"name\": \"Arm_FIXPOINT_0\", \"translation\": [0, 2, 0]}\n  ],\n";
  j += "  \"meshes\": [\n";
  j += "    {\"name\": \"BaseBox\", \"primitives\": [{\"attributes\": {\"POSITION\": 0, \"TEXCOORD_0\": 2}, \"indices\": 3, \"material\": 0}]},\n";
  j += "    {\"name\": \"ArmBox\", \"primitives\": [{\"attributes\": {\"POSITION\": 1, \"TEXCOORD_0\": 2}, \"indices\": 4, \"material\": 1},\n";
  j += "                                   {\"attributes\": {\"POSITION\": 1, \"TEXCOORD_0\": 2}, \"indices\": 5, \"material\": 0}]}\n  ],\n";
  j += "  \"materials\": [\n";
  j += "    {\"name\": \"Red\", \"pbrMetallicRoughness\": {\"baseColorFactor\": [0.8, 0.1, 0.1, 1], \"metallicFactor\": 0, \"roughnessFactor\": 0.6}},\n";
  j += "    {\"name\": \"Checker\", \"pbrMetallicRoughness\": {\"baseColorTexture\": {\"index\": 0}, \"metallicFactor\": 0, \"roughnessFactor\": 0.6}}\n  ],\n";
  j += "  \"textures\": [{\"source\": 0, \"sampler\": 0}],\n";
  j += "  \"images\": [{\"uri\": \"arm_checker.png\"}],\n";
  j += "  \"samplers\": [{\"magFilter\": 9728, \"minFilter\": 9728, \"wrapS\": 10497, \"wrapT\": 10497}],\n";
  j += "  \"animations\": [{\"name\": \"Swing\", \"channels\": [\n";
  j += "    {\"sampler\": 0, \"target\": {\"node\": 0, \"path\": \"translation\"}},\n";
  j += "    {\"sampler\": 1, \"target\": {\"node\": 1, \"path\": \"rotation\"}}],\n";
  j += "    \"samplers\": [{\"input\": 6, \"output\": 7, \"interpolation\": \"LINEAR\"}, {\"input\": 6, \"output\": 8, \"interpolation\": \"LINEAR\"}]}],\n";
  // Accessors: component type 5126 float, 5123 unsigned short.
  struct Accessor {
    int view, type, count;
    const char* kind;
    bool bounds;
  };
  const Accessor accessors[] = {{0, 5126, 24, "VEC3", true}, {1, 5126, 24, "VEC3", true}, {2, 5126, 24, "VEC2", false},
                                {3, 5123, 36, "SCALAR", false}, {4, 5123, 24, "SCALAR", false}, {5, 5123, 12, "SCALAR", false},
                                {6, 5126, keys, "SCALAR", true}, {7, 5126, keys, "VEC3", false}, {8, 5126, keys, "VEC4", false}};
  j += "  \"accessors\": [\n";
  for (size_t i = 0; i < std::size(accessors); ++i) {
    const Accessor& a = accessors[i];
    j += "    {\"bufferView\": " + std::to_string(a.view) + ", \"componentType\": " + std::to_string(a.type) +
         ", \"count\": " + std::to_string(a.count) + ", \"type\": \"" + a.kind + "\"";
    if (a.bounds && a.view == 0) j += ", \"min\": [-1, 0, -1], \"max\": [1, 0.5, 1]";
    if (a.bounds && a.view == 1) j += ", \"min\": [-0.2, 0, -0.2], \"max\": [0.2, 2, 0.2]";
    if (a.bounds && a.view == 6) j += ", \"min\": [0], \"max\": [" + Number(float(keys - 1) * 0.25f) + "]";
    j += i + 1 < std::size(accessors) ? "},\n" : "}\n";
  }
  j += "  ],\n  \"bufferViews\": [\n";
  for (size_t i = 0; i < views.size(); ++i)
    j += "    {\"buffer\": 0, \"byteOffset\": " + std::to_string(views[i].offset) + ", \"byteLength\": " +
         std::to_string(views[i].length) + (i + 1 < views.size() ? "},\n" : "}\n");
  j += "  ],\n  \"buffers\": [{\"uri\": \"arm.bin\", \"byteLength\": " + std::to_string(b.bytes.size()) + "}]\n}\n";

  // An 8 x 8 checker of yellow and blue.
  zvl::render::RgbImage checker;
  checker.width = checker.height = 8;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool odd = (x + y) % 2;
      checker.rgb.insert(checker.rgb.end(), {uint8_t(odd ? 40 : 240), uint8_t(odd ? 60 : 200), uint8_t(odd ? 220 : 30)});
    }
  std::string error;
  if (WriteText(dir + "/arm.gltf", j) != 0 || WriteBytes(dir + "/arm.bin", b.bytes) != 0 ||
      !zvl::render::WritePng(dir + "/arm_checker.png", checker, error)) {
    std::fprintf(stderr, "make_gltf_sample: %s\n", error.empty() ? ZvlGetErrorText() : error.c_str());
    return 1;
  }
  return 0;
}
