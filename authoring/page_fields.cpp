#include "authoring/page_fields.h"

#include <algorithm>

namespace authoring {

uint32_t OptionFlags(const PageFields& fields) {
  uint32_t flags = 0;
  if (fields.makePalette) flags |= kMakePalette;
  if (fields.makeGeometry) flags |= kMakeGeometry;
  if (fields.makeAnimation) flags |= kMakeAnimation;
  if (fields.highColor) flags |= kHighColor | kMakePalette;
  return flags;
}

bool RequiredFieldsPresent(const PageFields& fields) {
  return !fields.scenePath.empty() && !fields.palettePath.empty();
}

int ClampLevels(int levels) { return std::clamp(levels, 1, kMaxLevels); }

std::vector<float> LevelUnits(float base, int levels) {
  std::vector<float> units;
  float step = base;
  for (int level = 0; level < ClampLevels(levels); ++level) {
    units.push_back(step);
    step *= kLevelFactor;
  }
  return units;
}

}  // namespace authoring
