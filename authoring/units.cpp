#include "authoring/units.h"

#include "import/imported_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace authoring {

float DefaultUnits(const ImportedScene& scene) {
  double largest = 0;
  for (const ImportedMesh& mesh : scene.meshes) {
    if (mesh.vertices.empty()) continue;
    std::array<float, 3> low = mesh.vertices.front(), high = low;
    for (const auto& v : mesh.vertices)
      for (int axis = 0; axis < 3; ++axis) {
        low[axis] = std::min(low[axis], v[axis]);
        high[axis] = std::max(high[axis], v[axis]);
      }
    const double dx = high[0] - low[0], dy = high[1] - low[1], dz = high[2] - low[2];
    largest = std::max(largest, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  const float units = float(largest / 250.0);
  return std::isfinite(units) && units > 0 ? units : 1.0f;
}

bool UnitsValue::Edit(const std::string& text) {
  const std::string seen = text.substr(0, 255);
  const bool allowedCharacters =
      seen.find_first_not_of("0123456789. -") == std::string::npos;
  const float number = float(std::atof(seen.c_str()));
  if (allowedCharacters && number > 0 && std::isfinite(number)) {
    value_ = lastValid_ = number;
    return true;
  }
  value_ = lastValid_;
  return false;
}

std::string UnitsValue::Text() const {
  char text[64];
  std::snprintf(text, sizeof text, "%f", double(value_));
  return text;
}

}  // namespace authoring
