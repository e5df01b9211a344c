// The levels of detail of one object: per level the scene units per 3D pixel
// and the smoothing value.
#pragma once

#include <vector>

namespace zvlplay {

inline constexpr int kMaxLevels = 15;
inline constexpr int kMaxSmoothing = 10;
inline constexpr float kPanelLevelFactor = 1.5f;

struct LodParameters {
  std::vector<float> units;   // finest level first
  std::vector<int> smoothing;
  int LevelCount() const { return int(units.size()); }
};

// The panel's levels: level 0 has the panel's units and smoothing, each
// further level 1.5 times the one before (smoothing truncated, at most 10).
LodParameters PanelLodParameters(float units, int levels, int smoothing);

}  // namespace zvlplay
