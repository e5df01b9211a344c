// Writes the seed corpora of the 3D Studio and VUE fuzz targets:
//   tds_make_corpus tests/fuzz/corpus/tds_fuzz tests/fuzz/corpus/vue_fuzz
#include "tests/import/tds_writer.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tds_make_corpus TDS_DIR VUE_DIR\n");
    return 2;
  }
  using namespace tdstest;
  const std::string tds = argv[1], vue = argv[2];

  Scene simple;
  simple.materials = {Material{"red", {255, 0, 0}, 40, ""}, Material{"wood", {90, 60, 20}, -1, "WOOD.BMP"}};
  simple.meshes = {Cube("box", {1, 2, 3})};
  simple.meshes[0].material = "red";
  simple.nodes = {NodeAt("box", {1, 2, 3})};
  Save(tds + "/simple.3ds", Write(simple));

  Scene animated = simple;
  animated.meshes.push_back(Cube("lid", {0, 0, 2}, 0.5f));
  animated.meshes[1].hasMatrix = true;
  animated.meshes[1].matrix = {0, 0.1f, 0, -0.1f, 0, 0, 0, 0, 0.1f, 1, 2, 3};
  animated.meshes[1].textureVertices.assign(8, {0.5f, 0.25f});
  animated.meshes[1].material = "wood";
  Node camera = NodeAt("cam", {0, 0, 0});
  camera.camera = true;
  Node box = NodeAt("box", {1, 2, 3});
  box.rotation = {Key{0, {0, 0, 0, 1}}, Key{20, {1.5f, 0, 0, 1}, 0x1F}};
  box.scale = {Key{0, {1, 1, 1, 0}}, Key{10, {2, 2, 2, 0}, 0x10}};
  box.hide = {5, 9};
  Node lid = NodeAt("lid", {0, 0, 1}, 1);
  lid.pivot = {0, 0, 1};
  lid.position.push_back(Key{15, {3, 0, 1, 0}, 0x03});
  animated.nodes = {camera, box, lid};
  animated.animationLength = 20;
  Save(tds + "/animated.3ds", Write(animated));

  Scene noKeyframer = simple;
  noKeyframer.keyframer = false;
  Save(tds + "/no_keyframer.3ds", Write(noKeyframer));

  const std::string vue1 = Vue({{0, {VueTransform{"box", {1, 0, 0, 0, 1, 0, 0, 0, 1}, {1, 2, 3}}, VueTransform{"lid"}}},
                                {1, {VueTransform{"box", {0, 1, 0, -1, 0, 0, 0, 0, 1}, {1, 2, 4}}, VueTransform{"pivot"}}}});
  Save(vue + "/two_frames.vue", std::vector<uint8_t>(vue1.begin(), vue1.end()));
  const std::string vue2 = Vue({{1, {VueTransform{"lid", {2, 0, 0, 0, 2, 0, 0, 0, 2}, {0, 0, 0}}}}, {3, {}}});
  Save(vue + "/numbered_from_one.vue", std::vector<uint8_t>(vue2.begin(), vue2.end()));
  return 0;
}
