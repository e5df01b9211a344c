// Shading accuracy: the ShadeTable against the angle it stands for, and the
// normals of the sample scene against the shapes they were taken from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/shade_table.h"
#include "samples/sample_scene.h"

namespace {

using namespace zvl::render;

constexpr double HalfPi = 1.5707963267948966;

// The shade a normal would get from its true direction: 22 along the light's
// line, 0 across it, folded at a right angle.
int ExactShade(const float n[3], const double light[3]) {
  const double c = std::fabs(n[0] * light[0] + n[1] * light[1] + n[2] * light[2]);
  return int(std::lround(22.0 * (1.0 - std::acos(std::fmin(1.0, c)) / HalfPi)));
}

// A byte shared by two neighbouring polar steps may be one shade off for one
// of them, never more, for every light and every normal.
TEST(ShadeTable, EveryShadeWithinOneOfTheExactAngle) {
  float normals[VoxNormalCount][3];
  for (int n = 0; n < VoxNormalCount; ++n) VoxNormalDirection(uint16_t(n), normals[n][0], normals[n][1], normals[n][2]);
  for (int polar = 0; polar < ShadeRows; ++polar) {
    for (int azimuth = 0; azimuth < (polar == 0 ? 1 : ShadeAzimuthSteps); ++azimuth) {
      const double a = polar * HalfPi / 23.0, b = azimuth * 2.0 * 3.14159265358979323846 / 89.0;
      const double light[3] = {std::sin(a) * std::cos(b), std::sin(a) * std::sin(b), std::cos(a)};
      const uint8_t* row = ShadeRowFor(polar, azimuth);
      int worst = 0, worstNormal = 0;
      for (int n = 0; n < VoxNormalCount; ++n) {
        const int off = std::abs(int(row[n]) - ExactShade(normals[n], light));
        if (off > worst) worst = off, worstNormal = n;
      }
      ASSERT_LE(worst, 1) << "light " << polar << "/" << azimuth << ", normal " << worstNormal;
    }
  }
}

// The sample ball's stored normals point along its radius to within the
// NormalIndex grid's own rounding (half a polar step and half an azimuth
// step, under 3 degrees), so its shading is smooth. Normals taken from the
// 0/1 occupancy were up to 12 degrees off and made blotches near the
// highlight.
TEST(SampleScene, BallNormalsFollowTheRadius) {
  const double limit = std::cos(3.0 * HalfPi / 90.0);
  int count = 0;
  for (const auto& chain : samples::shapeChains(samples::Shape::Ball, 20, 0, 12)) {
    for (const VoxPixel& p : chain) {
      float n[3];
      VoxNormalDirection(p.normal, n[0], n[1], n[2]);
      const double r = std::sqrt(double(p.x * p.x + p.y * p.y + p.z * p.z));
      // Normals live on the upper hemisphere: compare lines, not directions.
      const double c = std::fabs((n[0] * p.x + n[1] * p.y + n[2] * p.z) / r);
      EXPECT_GE(c, limit) << p.x << "," << p.y << "," << p.z << " normal " << p.normal;
      ++count;
    }
  }
  EXPECT_GT(count, 4000);
}

}  // namespace
