// The Properties record (EngineCommand 15) and its texts as the Properties
// dialog shows them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zvplay {

struct PropertiesRecord {
  float version = 0;           // the file's format version
  float unitsPerPixel = 0;     // of object 0's current part
  int levels = 0;              // parts from object 0's current part to the end of its chain
  int64_t pixelCount = 0;      // 3D pixels of every object's current part
  int frameCount = 0;
  int areaWidth = 0;           // the rectangle drawn last
  int areaHeight = 0;
  std::string paletteName;     // empty without a palette
  bool hasPalette = false;
  int bodyParts = 0;           // object count
  std::array<float, 3> size{}; // the scene box at scale 1
  int cpuType = 0;
};

struct PropertiesTexts {
  std::string version, unitsPerPixel, levels, pixelCount, frameCount, pixelArea, palette, bodyParts, size, cpuType;
};

PropertiesTexts FormatProperties(const PropertiesRecord& record);

}  // namespace zvplay
