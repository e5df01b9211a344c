// Writes the seed corpora of the LightWave and Alias RTG fuzz targets with
// the test writers:
//   lws_make_corpus LWS_CORPUS_DIR RTG_CORPUS_DIR
// A seed is the scene text, the separator "\0--\0", and the further files
// the fuzz target hands out (see tests/fuzz/lws_fuzz.cpp, rtg_fuzz.cpp).
#include "palette/palette.h"
#include "tests/import/lws_writers.h"
#include "tests/import/rtg_writers.h"

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kSeparator("\0--\0", 4);

void Write(const std::string& path, const std::vector<std::string>& parts) {
  std::ofstream out(path, std::ios::binary);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out << kSeparator;
    out << parts[i];
  }
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

void LwsSeeds(const std::string& dir) {
  using namespace lwstest;
  Object mover = Null("Mover");
  mover.keys = {MakeKey({0, 0, 0, 0, 0, 0, 1, 1, 1}, 0), MakeKey({4, 1, 0, 90, 10, 0, 1, 2, 1}, 10, 1)};
  Object box = Load("Objects\\box.lwo");
  box.parent = 0;
  box.pivot = {0, 0.5, 0};
  box.keys = {MakeKey({0, 1, 0, 0, 0, 0, 1, 1, 1}, 0, 1), MakeKey({0, 2, 0, 0, 0, 45, 1, 1, 1}, 5, 1),
              MakeKey({0, 0, 0, 0, 0, 0, 1, 1, 1}, 10, 1)};
  box.keys[1].tension = 0.5;
  box.keys[1].bias = -0.25;
  Lwob cube = Cube(0, 0, 0, "ZVL");
  Texture map;
  map.size = {2, 2, 2};
  map.image = "check.bmp";
  cube.surfaces[0].textures = {map};
  cube.polygons.push_back({{0, 1, 3, 2, 4}, 1});
  Write(dir + "/null_parent_spline", {Scene({mover, box}, 10, "AddLight\n"), Text(WriteLwob(cube))});
  Write(dir + "/plain_cube", {Scene({Load("cube.lwo")}, 3), Text(WriteLwob(Cube()))});
  TextureImage image;
  image.width = image.height = 2;
  image.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  Write(dir + "/image_only", {Scene({Load("cube.lwo")}, 1), Text(EncodeBmpTexture(image))});
  // A ring stored as one polygon: outer and inner outlines joined by a
  // doubled bridge edge, as modelling programs store holes; and an L.
  Lwob ring;
  std::vector<uint16_t> corners;
  for (int i = 0; i <= 16; ++i) {
    const float a = 6.2831853f * float(i % 16) / 16;
    ring.points.push_back({2 * std::cos(a), 2 * std::sin(a), 0});
  }
  for (int i = 0; i <= 16; ++i) {
    const float a = -6.2831853f * float(i % 16) / 16;
    ring.points.push_back({1.5f * std::cos(a), 1.5f * std::sin(a), 0});
  }
  for (size_t i = 0; i < ring.points.size(); ++i) corners.push_back(uint16_t(i));
  ring.points.insert(ring.points.end(), {{0, 0, 1}, {3, 0, 1}, {3, 1, 1}, {1, 1, 1}, {1, 3, 1}, {0, 3, 1}});
  ring.polygons = {{corners, 1}, {{34, 35, 36, 37, 38, 39}, 1}};
  ring.surfaces = {NamedSurface("Ring")};
  Write(dir + "/concave_ring", {Scene({Load("ring.lwo")}, 1), Text(WriteLwob(ring))});
  Write(dir + "/decimal_comma", {"LWSC 1 FirstFrame 0 LastFrame 2 FrameStep 1 FramesPerSecond 29,97\n"
                                 "AddNullObject n ShowObject 6 7 ObjectMotion (unnamed) 9 1\n"
                                 "0,5 0 0 0 0 0 1 1 1 0 0 0,0 0 0\nShadowOptions 7\n"});
}

void RtgSeeds(const std::string& dir) {
  using namespace rtgtest;
  Scene scene;
  Node root = MakeNode(0, "G", "root"), child = MakeNode(1, "P", "child");
  root.translation = {1, 0, 0};
  root.rotation = {0, 0, 90};
  root.scale = {2, 2, 2};
  child.pivot = {0.5f, 0, 0};
  scene.nodes = {root, child};
  Object object;
  object.name = "child";
  Polygon textured;
  textured.texture = 0;
  object.polygons.push_back(textured);
  scene.objects = {object};
  scene.textureFile = "tex.bin";
  scene.textures = {{2, 2}};
  std::vector<Frame> frames(4);
  frames[2].r = {0, 45, 0};
  frames[3].withScale = false;
  Write(dir + "/hierarchy_texture_animation", {WriteRtg(scene), Text(WriteBin(scene)), AnimationFile(frames)});
  scene.mat4x4 = true;
  scene.nodes[0].world = {0, -2, 0, 2, 0, 0, 0, 0, 2};
  scene.nodes[1].world = {0, -2, 0, 2, 0, 0, 0, 0, 2};
  scene.nodes[1].worldTranslation = {1, 1, 0};
  scene.indexCounters = false;
  Write(dir + "/mat4x4", {WriteRtg(scene), Text(WriteBin(scene)), AnimationFile(frames)});
  Scene plain;
  plain.texCoords = false;
  plain.nodes = {MakeNode(0, "P", "a")};
  Object a;
  a.name = "a";
  plain.objects = {a};
  Write(dir + "/colours_only", {WriteRtg(plain)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  LwsSeeds(argv[1]);
  RtgSeeds(argv[2]);
  return 0;
}
