// The LightWave scene (LWSC): header, and the object list with each
// object's motion keys, parent, pivot and, for loaded objects, its mesh.
//
// ParseLwsScene reads the scene text in its fixed order (header, then
// LoadObject / AddNullObject entries) and stops with success at the first
// token that starts no object entry: lights, cameras and settings are not
// read. The object files are found relative to the scene file (see
// ResolveObjectPath) and read through a FileSource.
#pragma once

#include "import/lwob_reader.h"
#include "import/lws_file_source.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One motion key: the nine channel values x, y, z, heading, pitch, bank
// (degrees), scale x, y, z, its frame and its spline parameters.
struct LwsKey {
  std::array<double, 9> values{};
  int frame = 0;
  uint8_t linear = 0;  // 1 when the file's interpolation field is 0
  double tension = 0, continuity = 0, bias = 0;
};

struct LwsObject {
  std::string name;  // the object file's name without folders, or the null object's name
  bool isNull = false;
  int show[2] = {0, 0};  // ShowObject pair
  std::vector<LwsKey> keys;
  int parent = -1;  // index into LwsScene::objects, -1 for none
  std::array<double, 3> pivot{0.0, 0.0, 0.0};
  int endBehaviour = 0;  // kept, not used by the evaluation
  std::string path;      // the object file it was loaded from
  LwobObject mesh;       // loaded objects only
};

struct LwsScene {
  int firstFrame = 0, lastFrame = 0, frameStep = 1;
  double framesPerSecond = 30;
  std::vector<LwsObject> objects;
};

// Most points and triangles of all loaded objects together: a scene that
// loads one file many times cannot take memory out of proportion.
inline constexpr size_t kMaxLwsGeometry = size_t(1) << 22;

// Finds the object file named in the scene: a path with ':' that exists is
// used as it is; otherwise the scene file's path with its last component
// replaced by the path, then the same one folder up at a time; finally (for
// a path without ':') the scene's folder and the path's file name alone.
// "\" and "/" both separate folders. Empty when nothing exists.
std::string ResolveObjectPath(const std::string& scenePath, const std::string& path, const FileSource& files);

// Reads the scene text. False with `error` set when the scene cannot be
// used: a damaged header, a token of the wrong kind anywhere, a parent index
// outside the object list, parents that form a loop, or more geometry than
// kMaxLwsGeometry. `warning` receives
// the reason when an object file cannot be loaded (which ends the object
// list there, keeping the objects before it).
bool ParseLwsScene(std::string_view text, const std::string& scenePath, const FileSource& files,
                   LwsScene& scene, std::string& error, const std::function<void(const std::string&)>& warning);
