// The ShadeTable. A row byte stands for a normal whose polar step and
// azimuth relative to the light it encodes (byte - 1 = t * 89 + relative
// azimuth); the same byte is reached by two neighbouring polar steps (t with
// a positive relative azimuth, t + 1 with a negative one), so each byte takes
// the reading that more (normal, light) pairs reach, which is never more
// than one polar step off (row 0, whose light has no azimuth, is exact).
// The shade is linear in the angle between the
// normal's line and the light's line, folded at a right angle: 22 along the
// light, 0 across it.
#include "render/shade_table.h"

#include <array>
#include <cmath>

#include "zvlfile/voxpart.h"

namespace zvl::render {
namespace {

constexpr double HalfPi = 1.5707963267948966;
constexpr double PolarStep = HalfPi / 23.0;
constexpr double AzimuthStep = 2.0 * 3.14159265358979323846 / 89.0;

uint8_t ShadeForAngle(int normalPolar, int relativeAzimuth, int lightPolar) {
  const double a = normalPolar * PolarStep, b = lightPolar * PolarStep;
  const double cosAngle =
      std::cos(a) * std::cos(b) + std::sin(a) * std::sin(b) * std::cos(relativeAzimuth * AzimuthStep);
  const double folded = std::acos(std::fmin(1.0, std::fabs(cosAngle)));  // 0 .. pi/2
  const long shade = std::lround(22.0 * (1.0 - folded / HalfPi));
  return uint8_t(shade < 0 ? 0 : shade > 22 ? 22 : shade);
}

struct Table {
  std::array<uint8_t, ShadeRows * ShadeRowBytes> bytes{};
  Table() {
    const int lastAddressable = (VoxNormalCount - 1) + ShadeAzimuthSteps;  // 2136
    for (int row = 0; row < ShadeRows; ++row) {
      uint8_t* out = bytes.data() + row * ShadeRowBytes;
      for (int b = 1; b <= lastAddressable; ++b) {
        const int q = (b - 1) / ShadeAzimuthSteps, m = (b - 1) % ShadeAzimuthSteps;
        int polar = q, azimuth = m;
        // A light along the z axis always comes with azimuth 0, so its row
        // is read one way only.
        if (row > 0 && m > ShadeAzimuthSteps / 2 && q + 1 <= 23) {
          polar = q + 1;
          azimuth = m - ShadeAzimuthSteps;
        }
        out[b] = ShadeForAngle(polar, azimuth, row);
      }
    }
  }
};

const Table& TheTable() {
  static const Table table;
  return table;
}

struct WordTable {
  std::array<uint16_t, ShadeRows * ShadeRowBytes> words{};
  WordTable() {
    for (size_t i = 0; i < words.size(); ++i) words[i] = uint16_t(TheTable().bytes[i] << 8);
  }
};

}  // namespace

const uint8_t* ShadeTable() { return TheTable().bytes.data(); }

const uint16_t* ShadeWordTable() {
  static const WordTable table;
  return table.words.data();
}

void QuantizeLight(float x, float y, float z, int& polarStep, int& azimuthStep) {
  const int index = QuantizeNormal(x, y, z);
  if (index == 0) {
    polarStep = 0;
    azimuthStep = 0;
    return;
  }
  polarStep = (index + 88) / ShadeAzimuthSteps;
  azimuthStep = (index + 88) % ShadeAzimuthSteps;
}

}  // namespace zvl::render
