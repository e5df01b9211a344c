// Small scenes for the player's tests, built with the database API and
// written as ZVL files.
#pragma once

#include "zvlfile/zvlfile.h"

#include <filesystem>
#include <string>

namespace zvplay::test {

struct SceneSpec {
  int objects = 2;
  int frames = 5;
  int side = 6;            // 3D pixels along each edge of each object's cube
  float pixelSize = 1.0f;
  int levels = 2;          // parts per object, each twice as coarse
  bool palette = true;     // the colour table is there either way
  bool geometry = true;
  float step = 3.0f;       // how far object 0 moves along x per frame
  bool animatedLinks = false;  // per-frame links: object i > 0 hangs from 0, pivot x = frame
};

// A scene of solid cubes: object i stands at x = 40 i, moving along x by
// `step` per frame; every matrix is the identity. With a palette (index 5
// is pure red in every shade row but shade 0) and its 16-bit colour table.
ZvlDatabasePtr MakeScene(const SceneSpec& description);

// Writes the scene to `path` (format 8.1); fails the calling test if it
// cannot.
void WriteScene(const std::string& path, const SceneSpec& description);

// A folder under the system's temporary folder, removed at the end.
struct TempDir {
  std::filesystem::path path;
  TempDir();
  ~TempDir();
  std::string file(const std::string& name) const { return (path / name).string(); }
};

}  // namespace zvplay::test
