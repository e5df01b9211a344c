// Writers of the authoring program's input formats, for the samples and the
// tests: 3D Studio (.3ds with a keyframer hierarchy), Alias RTG (scene text,
// materials .bin, animation files) and LightWave (through the import tests'
// writers). Each returns the file's bytes.
#pragma once

#include "samples/windmill_scene.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace samples {

// One keyframer node of a 3D Studio scene: the mesh of the same name, its
// parent node (65535 for none), and its keys.
struct Node3ds {
  std::string name;
  uint16_t parent = 65535;
  std::array<float, 3> pivot{0, 0, 0};
  std::vector<std::pair<uint32_t, std::array<float, 3>>> positions;
  std::vector<std::pair<uint32_t, std::array<float, 4>>> rotations;  // angle (radians, relative), axis
  std::vector<std::pair<uint32_t, std::array<float, 3>>> scales;
  std::vector<uint32_t> hides;  // frames where the hidden state flips
};

struct Scene3ds {
  std::vector<SampleMaterial> materials;
  std::vector<SampleMesh> meshes;
  std::vector<Node3ds> nodes;
  uint32_t animationLength = 0;  // frames - 1
};

std::vector<uint8_t> Write3ds(const Scene3ds& scene);

// The windmill as a 3D Studio scene.
Scene3ds Windmill3ds();

// ---- Alias RTG ----

struct RtgFiles {
  std::string scene;                 // the .rtg text
  std::vector<uint8_t> materials;    // the .bin file
  std::vector<std::pair<std::string, std::string>> animations;  // node name, file text
};

// The windmill as an Alias RTG scene whose texture table names
// `materialsName` and whose animation files are stem + "_" + node.
RtgFiles WindmillRtg(const std::string& materialsName);

// ---- LightWave ----

struct LwsFiles {
  std::string scene;  // the .lws text
  std::vector<std::pair<std::string, std::vector<uint8_t>>> objects;  // file name, LWOB bytes
};

LwsFiles WindmillLws();

// Writes bytes to a file through the temporary-file helper: 0 or ZvlFailure.
int WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace samples
