// The engine's input: one triangle mesh with its levels of detail, texture
// coordinates, per-frame placement, hierarchy link and fix points. The
// embedding program fills it (GetObject) and the engine reads it; the engine
// writes only the face normals.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct MeshFace {
  int32_t v[3] = {0, 0, 0};  // vertex indices
  int32_t material = 0;      // index into the scene's material table
  uint8_t flags = 0;
  float normal[3] = {0, 0, 0};  // unit face normal, written by the engine
};

struct MeshObject {
  // Levels of detail, finest first: units per 3D pixel and smoothing value
  // of each level. A per-level copy keeps the grid steps and no smoothing.
  std::vector<float> gridSteps;
  std::vector<int32_t> smoothing;
  std::string name;

  std::vector<std::array<float, 3>> vertices;         // x, y, z in object space
  std::vector<std::array<float, 3>> textureVertices;  // u, v, w
  std::vector<MeshFace> faces;
  std::vector<std::array<int32_t, 3>> textureFaces;   // one per face, in face order, or none

  // One entry per frame of the conversion (the host's frameCount).
  std::vector<std::array<float, 3>> locations;
  std::vector<std::array<float, 9>> matrices;  // 3x3, row after row
  std::vector<uint8_t> frameFlags;

  std::array<float, 3> pivot = {0, 0, 0};
  int32_t parent = -1;  // index of the parent object, -1 for none
  std::vector<std::array<float, 3>> fixPoints;  // in the object's own space

  int LevelCount() const { return int(gridSteps.size()); }
  int32_t VertexCount() const { return int32_t(vertices.size()); }
  int32_t FaceCount() const { return int32_t(faces.size()); }
  int32_t TextureVertexCount() const { return int32_t(textureVertices.size()); }
  int32_t TextureFaceCount() const { return int32_t(textureFaces.size()); }
  int32_t FixPointCount() const { return int32_t(fixPoints.size()); }
};
