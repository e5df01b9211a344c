#include "maxplugin/lod_parameters.h"

#include <algorithm>

namespace zvlplay {

LodParameters PanelLodParameters(float units, int levels, int smoothing) {
  LodParameters lod;
  levels = std::clamp(levels, 1, kMaxLevels);
  float u = units, s = float(std::clamp(smoothing, 0, kMaxSmoothing));
  for (int i = 0; i < levels; ++i) {
    lod.units.push_back(u);
    lod.smoothing.push_back(std::min(int(s), kMaxSmoothing));
    u *= kPanelLevelFactor;
    s = std::min(s * kPanelLevelFactor, float(kMaxSmoothing));
  }
  return lod;
}

}  // namespace zvlplay
