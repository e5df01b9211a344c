// The windmill: the sample scene the authoring program converts, in three
// input formats. A textured tower (root) that slides and turns, a flat
// round cap on it, and flat blades that spin on a rotor in front of it; 24
// frames. Coordinates with z up (3D Studio); the LightWave and Alias RTG
// files swap y and z.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace samples {

struct SampleMesh {
  std::string name;
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<float, 2>> uvs;  // one per vertex (empty: none)
  std::vector<std::array<uint16_t, 3>> faces;
  int material = 0;
  // The name of the mesh's 3D Studio material group, when it is not the
  // material's own (to name a material the scene lacks).
  std::string groupName;
};

struct SampleMaterial {
  std::string name;
  std::array<uint8_t, 3> colour;
  std::string texture;  // BMP file name, or empty for a flat material
};

inline constexpr int kWindmillFrames = 24;

std::vector<SampleMaterial> WindmillMaterials();
// tower, cap, blades (in this order).
std::vector<SampleMesh> WindmillMeshes();

// The texture of the tower: 16 x 16 texels of bricks, R, G, B, top row first.
std::vector<uint8_t> BrickTexels(int& width, int& height);

// main_p6.act: greys, a 6 x 6 x 6 colour cube at entries 16 .. 231, greys.
std::array<uint8_t, 768> MainPalette();

}  // namespace samples
