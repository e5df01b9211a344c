// NormalIndex: a direction of the hemisphere z >= 0 on a grid of 23 polar
// steps from the pole and 89 azimuth steps around it, plus the pole itself.
#include <cmath>
#include <numbers>

#include "zvlfile/voxpart.h"

namespace {

constexpr int PolarSteps = 23;    // from the pole (0, 0, 1) down to the equator
constexpr int AzimuthSteps = 89;  // from +x towards +y

// The quantiser's constants, kept in float as the engine and the renderer
// both rely on bit-identical indices.
constexpr float PolarScale = 14.642255f;    // 23 / (pi / 2)
constexpr float TwoPi = 6.2831855f;
constexpr float AzimuthScale = 14.164789f;  // 89 / (2 pi)

}  // namespace

uint16_t QuantizeNormal(float x, float y, float z) {
  // A non-finite vector has no direction; it gets the pole rather than an
  // out-of-range conversion below. For finite input every step stays in its
  // range: a length that overflows to infinity leaves a zero vector.
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return 0;

  // 1. Fold the lower hemisphere onto the upper one (negative zero stays).
  if (z < 0) {
    x = -x;
    y = -y;
    z = -z;
  }
  // 2. Normalise.
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length > 0) {
    x /= length;
    y /= length;
    z /= length;
  }
  // 3. Polar step.
  int t = 0;
  if (z < 1.0f) t = int(std::floor(std::acos(z) * PolarScale + 0.5f));
  // 4. Azimuth step.
  float a = std::atan2(y, x);
  if (a < 0) a += TwoPi;
  int r = int(std::floor(a * AzimuthScale + 0.5f));
  if (r == AzimuthSteps) r = 0;
  // 5. Index.
  if (t == 0) return 0;
  return uint16_t(t * AzimuthSteps + r - (AzimuthSteps - 1));
}

void VoxNormalDirection(uint16_t index, float& x, float& y, float& z) {
  if (index == 0 || index >= VoxNormalCount) {
    x = 0;
    y = 0;
    z = 1;
    return;
  }
  const int t = (index + (AzimuthSteps - 1)) / AzimuthSteps;
  const int r = (index + (AzimuthSteps - 1)) % AzimuthSteps;
  const double polar = t * (std::numbers::pi / 2) / PolarSteps;
  const double azimuth = r * (2 * std::numbers::pi) / AzimuthSteps;
  x = float(std::sin(polar) * std::cos(azimuth));
  y = float(std::sin(polar) * std::sin(azimuth));
  // The equator row must stay in the upper hemisphere so that quantising the
  // direction gives its index back.
  z = std::fmax(0.0f, float(std::cos(polar)));
}
