// The Alias RTG scene: header options, the hierarchy of group and polygon
// nodes with their transforms, the polygon objects, the texture table with
// the images of the materials .bin file, and per node the animation frames
// and the placements the animation calculation leaves.
#pragma once

#include "import/lws_file_source.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum RtgOption { kRtgVertNorms = 0, kRtgTexCoords, kRtgPolyNorms, kRtgHierarchy, kRtgIndexCounters,
                 kRtgVertColours, kRtgOptionCount };

struct RtgPolygon {
  int32_t v[3] = {0, 0, 0};
  int32_t normal[3] = {0, 0, 0};  // with OUTPUT_VERT_NORMS
  int32_t tex[3] = {0, 0, 0};     // with OUTPUT_TEX_COORDS
  int32_t texture = -1;           // texture index, or -1 for a colour
  std::array<uint8_t, 3> rgb{0, 0, 0};
};

struct RtgNode {
  int level = 0;
  bool polygon = false;  // 'P' node; else a group ('G')
  std::string name;
  int parent = -1;
  std::array<float, 3> translation{0, 0, 0}, rotation{0, 0, 0} /* radians */, scale{1, 1, 1};
  std::array<float, 3> further{0, 0, 0}, pivot{0, 0, 0};
  // worldTM: the 3x3 matrix (row after row) and the translation.
  std::array<double, 9> worldMatrix{1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::array<double, 3> worldTranslation{0, 0, 0};
  std::vector<int> children;

  // The polygon object (polygon nodes named by an OBJECT_START).
  bool hasObject = false;
  std::vector<std::array<float, 3>> vertices, normals, vertexColours;
  std::vector<std::array<float, 2>> texCoords;
  std::vector<RtgPolygon> polygons;
  std::array<float, 3> centre{0, 0, 0};  // centre of the vertex bounding box

  // Animation: per frame translation, rotation (radians), scale; then what
  // the calculation makes of them.
  bool animated = false;
  std::vector<std::array<float, 3>> frameTranslation, frameRotation, frameScale;
  std::vector<std::array<double, 9>> matrices;
  std::vector<std::array<float, 3>> locations;
};

struct RtgTexture {
  int width = 0, height = 0, third = 0;
  std::vector<uint8_t> pixels;  // width * height * 3, R G B
};

struct RtgScene {
  std::string title, version, date;
  int objectCount = 0;
  bool options[kRtgOptionCount] = {};
  int textureMode = 0;    // 0 color, 1 per_shader, 2 per_polygon
  int transformMode = 0;  // 0 HXP, 1 MAT4x4
  int declaredNodeCount = 0;
  std::vector<RtgNode> nodes;  // parents always before their children
  std::string textureFile;
  int textureHeaderSize = 0;
  std::string textureTableRest;
  std::vector<RtgTexture> textures;
  std::vector<uint8_t> binHeader;
  int frameCount = 0;
};

// Progress of the readers and the calculation: a percentage.
using RtgProgress = std::function<void(int percent)>;

// Reads the RTG scene text. False with the reason in `error`. Progress: the
// objects read so far of the declared number.
bool ReadRtgText(std::string_view text, RtgScene& scene, std::string& error, const RtgProgress& progress = {});

// Reads the images of the texture table from the materials file's bytes.
// False when the file is short or a texture has no size or one too large.
bool ReadRtgMaterials(std::span<const uint8_t> bytes, RtgScene& scene);

// In MAT4x4 mode only the world matrices are given: sets every node's base
// translation, rotation and scale so that the animation calculation without
// animation reproduces them (shear is lost).
void RtgTransformsFromWorld(RtgScene& scene);

// Reads the animation files stem + "_" + node name through `files`: each
// line one frame. Sets the frame count (the line count of the last animated
// node; 1 when no node is animated, then `anyAnimation` is false) and fills
// every node's frames, shorter files repeating their last frame. False when
// frames times nodes exceed maxPlacements.
bool ReadRtgAnimation(const std::string& stem, const FileSource& files, RtgScene& scene, bool& anyAnimation,
                      long long maxPlacements, const RtgProgress& progress = {});

// The animation calculation: per node and frame its matrix and location.
void CalculateRtgAnimation(RtgScene& scene, const RtgProgress& progress = {});
