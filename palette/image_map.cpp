// Texture coordinates of LightWave image maps: planar, cylindrical and
// spherical projections with their wraps.
#include "palette/palette.h"

#include <array>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr std::array<std::string_view, 16> kMapNames = {
    "Planar Image Map", "Cylindrical Image Map", "Spherical Image Map", "Cubic Image Map",
    "Front Projection Image Map", "Checkerboard", "Grid", "Dots", "Marble", "Wood", "Underwater",
    "Fractal Noise", "Fractal Bumps", "Bump Array", "Crust", "Veins"};

double Frac(double x) { return x - std::floor(x); }

// a / b, with 0 for a texture size of 0 (a damaged scene) instead of an
// infinity that would poison every coordinate after it.
double Ratio(double a, double b) { return b != 0 ? a / b : 0.0; }

// The angle of (a, b) as the projections measure it.
double Angle(double a, double b) {
  if (b > 0) return -std::atan(a / b);
  if (b < 0) return -std::atan(a / b) + kPi;
  if (a == 0) return 0;
  return a >= 0 ? -kPi / 2 : kPi / 2;
}

enum class Axis { X, Y, Z };

Axis AxisOf(int bits) { return (bits & 1) ? Axis::X : (bits & 2) ? Axis::Y : Axis::Z; }

}  // namespace

ImageMapKind ImageMapKindFromName(std::string_view name) {
  for (size_t i = 0; i < kMapNames.size(); ++i) {
    if (kMapNames[i] == name) return ImageMapKind(i);
  }
  return ImageMapKind::Unknown;
}

bool IsImageMap(ImageMapKind kind) { return int(kind) >= 0 && int(kind) <= int(ImageMapKind::FrontProjection); }

void ProjectImageMap(const ImageMapTexture& texture, const float point[3], float& uOut, float& vOut) {
  const double dx = double(point[0]) - texture.centre[0];
  const double dy = double(point[1]) - texture.centre[1];
  const double dz = double(point[2]) - texture.centre[2];
  const double sx = texture.size[0], sy = texture.size[1], sz = texture.size[2];
  const Axis axis = AxisOf(texture.axis);
  double u = 0, v = 0;
  switch (texture.kind) {
    case ImageMapKind::Cylindrical: {
      double angle = 0, height = 0;
      if (axis == Axis::X) {
        angle = Angle(dz, -dy);
        height = -Ratio(dx, sx);
      } else if (axis == Axis::Y) {
        angle = Angle(-dx, dz);
        height = -Ratio(dy, sy);
      } else {
        angle = Angle(-dx, -dy);
        height = -Ratio(dz, sz);
      }
      u = 1 - angle / (2 * kPi);
      v = height + 0.5;
      if (texture.widthWrap != 1.0) u = Frac(u) * texture.widthWrap;
      break;
    }
    case ImageMapKind::Spherical: {
      double a = -dx, m = dz, c = -dy;
      if (axis == Axis::X) {
        a = dz, m = dx, c = -dy;
      } else if (axis == Axis::Y) {
        a = -dx, m = dy, c = dz;
      }
      const double longitude = Angle(a, c);
      const double r = std::sqrt(a * a + c * c);
      double latitude = 0;
      if (r != 0) {
        latitude = std::atan(m / r);
      } else if (m != 0) {
        latitude = m > 0 ? kPi / 2 : -kPi / 2;
      }
      u = 1 - longitude / (2 * kPi);
      v = 0.5 - latitude / kPi;
      if (texture.widthWrap != 1.0) u = Frac(u) * texture.widthWrap;
      if (texture.heightWrap != 1.0) v = Frac(v) * texture.heightWrap;
      break;
    }
    default:  // planar; cubic and front projection are projected the same way
      u = (axis == Axis::X ? Ratio(dz, sz) : Ratio(dx, sx)) + 0.5;
      v = (axis == Axis::Y ? -Ratio(dz, sz) : -Ratio(dy, sy)) + 0.5;
      break;
  }
  uOut = float(Frac(u));
  vOut = float(-Frac(v));
}
