#include "player/properties.h"

#include "player/messages.h"
#include "render/render.h"

#include <cstdio>

namespace zvplay {
namespace {

template <class... Args>
std::string format(const char* pattern, Args... args) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, pattern, args...);
  return buffer;
}

}  // namespace

PropertiesTexts FormatProperties(const PropertiesRecord& r) {
  PropertiesTexts t;
  t.version = format(msg::PropVersion, double(r.version));
  t.unitsPerPixel = format(msg::PropUnitsPerPixel, double(r.unitsPerPixel));
  t.levels = std::to_string(r.levels);
  t.pixelCount = std::to_string(r.pixelCount);
  t.frameCount = std::to_string(r.frameCount);
  t.pixelArea = format(msg::PropPixelArea, r.areaWidth, r.areaHeight);
  t.palette = r.hasPalette ? r.paletteName : msg::PropNoPalette;
  t.bodyParts = std::to_string(r.bodyParts);
  t.size = format(msg::PropSize, double(r.size[0]), double(r.size[1]), double(r.size[2]));
  t.cpuType = ZvlCpuTypeText(uint8_t(r.cpuType));
  return t;
}

}  // namespace zvplay
