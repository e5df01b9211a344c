#include "palette/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

namespace {

using Corners = std::vector<std::array<float, 3>>;
using Vec = std::array<double, 3>;

Vec Sub(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
}
Vec CrossV(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Points of the plane (x, y) placed on a tilted plane of space.
Corners Tilted(const std::vector<std::pair<float, float>>& points) {
  Corners corners;
  for (const auto& [x, y] : points) corners.push_back({0.6f * x + 2.0f, 0.8f * x - 0.5f * y, 0.7f * y + 1.0f});
  return corners;
}
const Vec kTiltedNormal = CrossV({0.6, 0.8, 0.0}, {0.0, -0.5, 0.7});  // of the plane's x and y directions
const double kTiltedScale = std::sqrt(Dot(kTiltedNormal, kTiltedNormal));  // area factor of the plane

struct Checked {
  double area = 0;  // summed along `normal`, so a triangle wound backwards subtracts
  size_t triangles = 0;
};

// Triangulates and checks each triangle: corners in range, area above zero,
// winding along `normal`; outline flags exactly on the polygon's own edges
// (unless corners were dropped, which merges edges).
Checked Triangulate(const Corners& corners, const Vec& normal, bool checkFlags = true) {
  std::vector<PolygonTriangle> out;
  TriangulatePolygon(corners, out);
  Checked result;
  const double length = std::sqrt(Dot(normal, normal));
  const int32_t n = int32_t(corners.size());
  for (const PolygonTriangle& t : out) {
    for (int32_t c : t.corner) EXPECT_TRUE(c >= 0 && c < n);
    const Vec cross = CrossV(Sub(corners[size_t(t.corner[1])], corners[size_t(t.corner[0])]),
                             Sub(corners[size_t(t.corner[2])], corners[size_t(t.corner[0])]));
    const double along = Dot(cross, normal) / length / 2;
    EXPECT_GT(along, 1e-9) << t.corner[0] << " " << t.corner[1] << " " << t.corner[2];
    for (int k = 0; k < 3 && checkFlags; ++k) {
      const int32_t from = t.corner[k], to = t.corner[(k + 1) % 3];
      EXPECT_EQ(bool(t.edgeFlags >> k & 1), to == (from + 1) % n) << from << " " << to;
    }
    result.area += along;
  }
  result.triangles = out.size();
  return result;
}

}  // namespace

TEST(PolygonTriangulation, ConvexPolygonsKeepTheFanAndItsFlags) {
  std::vector<PolygonTriangle> out;
  TriangulatePolygon(Tilted({{0, 0}, {2, 0}, {2, 1}, {0, 1}}), out);
  TriangulatePolygon(Tilted({{0, 0}, {2, 0}, {3, 1}, {1, 2}, {-1, 1}}), out);
  TriangulatePolygon(Tilted({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}}), out);  // a corner on a straight edge
  const int32_t corners[][3] = {{0, 1, 2}, {0, 2, 3}, {0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 1, 2}, {0, 2, 3}, {0, 3, 4}};
  const uint8_t flags[] = {3, 6, 3, 2, 6, 3, 2, 6};
  ASSERT_EQ(out.size(), 8u);
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_EQ(out[i].edgeFlags, flags[i]) << i;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(out[i].corner[k], corners[i][k]) << i;
  }
}

TEST(PolygonTriangulation, ConcaveAndRingPolygonsCoverTheirTrueArea) {
  // An L: 3 x 3 less a 2 x 2 corner, both windings.
  const std::vector<std::pair<float, float>> l = {{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}};
  Checked c = Triangulate(Tilted(l), kTiltedNormal);
  EXPECT_NEAR(c.area, 5 * kTiltedScale, 1e-4);
  EXPECT_EQ(c.triangles, 4u);
  const std::vector<std::pair<float, float>> reversed(l.rbegin(), l.rend());
  c = Triangulate(Tilted(reversed), {-kTiltedNormal[0], -kTiltedNormal[1], -kTiltedNormal[2]});
  EXPECT_NEAR(c.area, 5 * kTiltedScale, 1e-4);

  // A ring of 32-gons, outer radius 2 and inner 1.5, stored as one polygon:
  // the outer outline anticlockwise from the bridge, the bridge in, the inner
  // outline clockwise and the bridge out, both ends of the bridge doubled.
  std::vector<std::pair<float, float>> ring;
  const int sides = 32;
  for (int i = 0; i <= sides; ++i)
    ring.push_back({2.0f * std::cos(6.2831853f * float(i % sides) / sides),
                    2.0f * std::sin(6.2831853f * float(i % sides) / sides)});
  for (int i = 0; i <= sides; ++i)
    ring.push_back({1.5f * std::cos(-6.2831853f * float(i % sides) / sides),
                    1.5f * std::sin(-6.2831853f * float(i % sides) / sides)});
  const double polygonArea = 0.5 * sides * std::sin(6.2831853 / sides);  // of radius 1
  c = Triangulate(Tilted(ring), kTiltedNormal);
  EXPECT_NEAR(c.area, (4.0 - 2.25) * polygonArea * kTiltedScale, 1e-3);
  EXPECT_EQ(c.triangles, size_t(2 * sides));
}

TEST(PolygonTriangulation, DegeneratePolygonsGiveNoTrianglesOfZeroArea) {
  std::vector<PolygonTriangle> out;
  TriangulatePolygon(Tilted({{0, 0}, {1, 0}, {3, 0}, {2, 0}, {-1, 0}}), out);  // on a line
  TriangulatePolygon(Tilted({{1, 1}, {1, 1}, {1, 1}, {1, 1}}), out);           // one point
  TriangulatePolygon(Corners{{0, 0, 0}, {NAN, 1, 0}, {1, 1, 0}, {1, 0, 0}}, out);
  EXPECT_TRUE(out.empty());
  // Repeated corners and a spike leave the square's two triangles.
  const Checked c = Triangulate(Tilted({{0, 0}, {2, 0}, {2, 0}, {2, 2}, {3, 3}, {2, 2}, {0, 2}, {0, 0}}),
                                kTiltedNormal, false);
  EXPECT_NEAR(c.area, 4 * kTiltedScale, 1e-4);
  EXPECT_EQ(c.triangles, 2u);
}

TEST(PolygonTriangulation, SelfCrossingOutlinesEndWithoutEmptyTriangles) {
  std::mt19937 random(16);
  std::uniform_real_distribution<float> coordinate(-1, 1);
  for (int round = 0; round < 200; ++round) {
    Corners corners(size_t(4 + round % 40));
    for (auto& c : corners) c = {coordinate(random), coordinate(random), round % 3 == 0 ? coordinate(random) : 0.0f};
    std::vector<PolygonTriangle> out;
    TriangulatePolygon(corners, out);
    EXPECT_LE(out.size(), corners.size() - 2);
    for (const PolygonTriangle& t : out) {
      const Vec cross = CrossV(Sub(corners[size_t(t.corner[1])], corners[size_t(t.corner[0])]),
                               Sub(corners[size_t(t.corner[2])], corners[size_t(t.corner[0])]));
      EXPECT_GT(Dot(cross, cross), 0.0);
    }
  }
}
