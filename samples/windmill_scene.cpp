#include "samples/windmill_scene.h"

#include <cmath>

namespace samples {
namespace {

// A box from lo to hi with four vertices per side (so each side has its own
// texture coordinates: u across, v up, `repeat` times per unit of height).
void AddBox(SampleMesh& mesh, std::array<float, 3> lo, std::array<float, 3> hi, float repeat) {
  for (int axis = 0; axis < 3; ++axis)
    for (int side = 0; side < 2; ++side) {
      const int u = (axis + 1) % 3, v = (axis + 2) % 3;
      const uint16_t base = uint16_t(mesh.vertices.size());
      const float uu[4] = {lo[size_t(u)], hi[size_t(u)], hi[size_t(u)], lo[size_t(u)]};
      const float vv[4] = {lo[size_t(v)], lo[size_t(v)], hi[size_t(v)], hi[size_t(v)]};
      for (int k = 0; k < 4; ++k) {
        std::array<float, 3> p{};
        p[size_t(axis)] = side ? hi[size_t(axis)] : lo[size_t(axis)];
        p[size_t(u)] = uu[k];
        p[size_t(v)] = vv[k];
        mesh.vertices.push_back(p);
        mesh.uvs.push_back({(k == 1 || k == 2) ? 1.0f : 0.0f, (k >= 2 ? 1.0f : 0.0f) * repeat});
      }
      // Outward winding: flip for the low side.
      if (side)
        mesh.faces.insert(mesh.faces.end(), {{base, uint16_t(base + 1), uint16_t(base + 2)},
                                             {base, uint16_t(base + 2), uint16_t(base + 3)}});
      else
        mesh.faces.insert(mesh.faces.end(), {{base, uint16_t(base + 2), uint16_t(base + 1)},
                                             {base, uint16_t(base + 3), uint16_t(base + 2)}});
    }
}

// A sphere of the given radius: `rings` bands of `segments` quads.
void AddSphere(SampleMesh& mesh, float radius, int rings, int segments) {
  const double pi = 3.14159265358979323846;
  for (int r = 0; r <= rings; ++r) {
    const double theta = pi * r / rings;
    for (int s = 0; s < segments; ++s) {
      const double phi = 2 * pi * s / segments;
      mesh.vertices.push_back({float(radius * std::sin(theta) * std::cos(phi)),
                               float(radius * std::sin(theta) * std::sin(phi)), float(radius * std::cos(theta))});
    }
  }
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < segments; ++s) {
      const uint16_t a = uint16_t(r * segments + s), b = uint16_t(r * segments + (s + 1) % segments);
      const uint16_t c = uint16_t(a + segments), d = uint16_t(b + segments);
      if (r > 0) mesh.faces.push_back({a, c, b});
      if (r < rings - 1) mesh.faces.push_back({b, c, d});
    }
}

}  // namespace

std::vector<SampleMaterial> WindmillMaterials() {
  return {{"BRICKS", {204, 102, 51}, "bricks.bmp"}, {"ROOF", {204, 51, 51}, ""}, {"SAILS", {255, 255, 204}, ""}};
}

std::vector<SampleMesh> WindmillMeshes() {
  SampleMesh tower;
  tower.name = "tower";
  AddBox(tower, {-0.6f, -0.6f, -1.5f}, {0.6f, 0.6f, 1.5f}, 3.0f);
  SampleMesh cap;
  cap.name = "cap";
  cap.material = 1;
  AddSphere(cap, 0.8f, 8, 12);
  SampleMesh blades;
  blades.name = "blades";
  blades.material = 2;
  AddBox(blades, {-0.08f, -1.8f, -0.18f}, {0.08f, 1.8f, 0.18f}, 1.0f);
  AddBox(blades, {-0.1f, -0.18f, -1.8f}, {0.1f, 0.18f, 1.8f}, 1.0f);
  blades.uvs.clear();
  return {tower, cap, blades};
}

std::vector<uint8_t> BrickTexels(int& width, int& height) {
  width = height = 16;
  std::vector<uint8_t> texels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      // Rows of bricks 4 texels high, every other row shifted by half a brick.
      const bool mortar = y % 4 == 3 || (x + (y / 4 % 2) * 4) % 8 == 7;
      const uint8_t brick[3] = {204, 102, 51}, joint[3] = {255, 255, 204};
      const uint8_t* c = mortar ? joint : brick;
      texels.insert(texels.end(), c, c + 3);
    }
  return texels;
}

std::array<uint8_t, 768> MainPalette() {
  std::array<uint8_t, 768> colours{};
  for (int i = 0; i < 16; ++i) colours[size_t(3 * i)] = colours[size_t(3 * i + 1)] = colours[size_t(3 * i + 2)] = uint8_t(i * 17);
  for (int i = 0; i < 216; ++i) {
    const size_t e = size_t(16 + i);
    colours[3 * e] = uint8_t(i / 36 * 51);
    colours[3 * e + 1] = uint8_t(i / 6 % 6 * 51);
    colours[3 * e + 2] = uint8_t(i % 6 * 51);
  }
  for (int i = 0; i < 24; ++i) {
    const size_t e = size_t(232 + i);
    colours[3 * e] = colours[3 * e + 1] = colours[3 * e + 2] = uint8_t(8 + i * 10);
  }
  return colours;
}

}  // namespace samples
