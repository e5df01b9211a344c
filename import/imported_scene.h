// The result every scene importer fills, and the callbacks through which an
// importer reports progress and messages.
//
// An ImportedScene is plain data: meshes in the scene's own order, the
// materials their faces refer to, and per mesh one flag byte, location and
// 3x3 matrix for every frame (frameCount of each). The authoring program
// turns it into MeshObjects and Materials; `zvl scene` prints it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "palette/material.h"

struct ImportedFace {
  int32_t v[3] = {0, 0, 0};  // vertex indices
  int32_t material = 0;      // index into ImportedScene::materials
  uint8_t flags = 0;         // edge flags (bit 0: v0-v1, bit 1: v1-v2, bit 2: v2-v0)
};

// Per-frame flag byte values.
inline constexpr uint8_t kFrameShown = 0;
inline constexpr uint8_t kFrameHidden = 0x80;

struct ImportedMesh {
  std::string name;
  std::vector<std::array<float, 3>> vertices;  // in the object's own frame
  std::vector<ImportedFace> faces;
  // Texture coordinates (u, v, w); textureFaces holds one triple of texture
  // vertex indices per face whenever textureVertices is not empty.
  std::vector<std::array<float, 3>> textureVertices;
  std::vector<std::array<int32_t, 3>> textureFaces;
  // The hierarchy as the scene gives it: the parent mesh (index into
  // ImportedScene::meshes, -1 for none) and the pivot. The animation below
  // already places the mesh in the scene: it is not to be combined with the
  // parent's again.
  int32_t parent = -1;
  std::array<float, 3> pivot{0.0f, 0.0f, 0.0f};
  // The reference point the geometry is voxelized around; the locations
  // below are where this point lies in the scene at each frame.
  std::array<float, 3> centre{0.0f, 0.0f, 0.0f};
  // Animation, one entry per frame.
  std::vector<uint8_t> flags;                  // kFrameShown or kFrameHidden
  std::vector<std::array<float, 3>> locations;
  std::vector<std::array<float, 9>> matrices;  // row after row, column vectors
};

// What the authoring program needs to make a palette Material.
struct ImportedMaterial {
  static constexpr uint8_t kTextured = 0;  // same values as MaterialKind
  static constexpr uint8_t kFlat = 1;
  uint8_t kind = kFlat;
  std::string name;
  std::array<uint8_t, 3> ambient{0, 0, 0}, diffuse{0, 0, 0}, specular{0, 0, 0};
  float shininess = 0.0f, shininessStrength = 0.0f, selfIllumination = 0.0f;  // 0..1
  uint16_t shading = 0;
  uint8_t flag = 0;          // option byte some formats set (e.g. a surface named "ZVL")
  std::string textureFile;   // the texture's file name as the scene gives it, or empty
  bool textureLoaded = false;  // texture holds the picture
  TextureImage texture;       // RGB, top row first
  std::string textureError;  // why the texture did not load, when it did not
};

struct ImportedScene {
  std::vector<ImportedMesh> meshes;
  std::vector<ImportedMaterial> materials;
  int frameCount = 0;
};

// Progress and messages. Any member may be empty; a step callback returning
// false asks the importer to stop (it then fails).
struct ImportCallbacks {
  std::function<void(const std::string& caption, int total)> begin;
  std::function<bool(int step)> step;
  std::function<void(const std::string&)> error, warning;

  void Begin(const std::string& caption, int total) const { if (begin) begin(caption, total); }
  bool Step(int n) const { return step ? step(n) : true; }
  void Error(const std::string& text) const { if (error) error(text); }
  void Warning(const std::string& text) const { if (warning) warning(text); }
};
