// Whole meshes through ZorvelizeMesh and ZorvelizeObject: what the flood
// keeps and removes, part forms, fix points, levels, refusals and stopping.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "test_meshes.h"
#include "voxelize/messages.h"

using namespace voxtest;
namespace msg = voxelize::msg;

namespace {

std::vector<uint8_t> Voxelize(TestHost& host, MeshObject mesh, float step = 1.0f,
                              PartLayout layout = PartLayout::Plugin) {
  std::vector<uint8_t> part = ZorvelizeMesh(host, &mesh, step, 0, ZorvelizeOptions{layout});
  EXPECT_EQ(host.outstanding, 0);
  return part;
}

// True when no pixel lies strictly inside the box -r..r on every axis.
bool HollowInside(const std::set<Point>& pixels, int r) {
  for (const auto& [x, y, z] : pixels)
    if (std::abs(x) < r && std::abs(y) < r && std::abs(z) < r) return false;
  return true;
}

}  // namespace

TEST(Flood, ClosedBoxKeepsItsWallsAndNestedBoxIsRemoved) {
  TestHost host;
  MeshObject box;
  AddBox(box, {0, 0, 0}, {10, 10, 10});
  const std::set<Point> walls = Pixels(Voxelize(host, box));
  for (Point p : {Point{5, 0, 0}, Point{-5, 0, 0}, Point{0, 5, 0}, Point{0, -5, 0}, Point{0, 0, 5}, Point{0, 0, -5}})
    EXPECT_TRUE(walls.count(p));
  EXPECT_TRUE(HollowInside(walls, 5));

  AddBox(box, {3, 3, 3}, {7, 7, 7});
  const std::set<Point> nested = Pixels(Voxelize(host, box));
  EXPECT_EQ(nested, walls);
}

TEST(Flood, OpenCavitiesAreReached) {
  TestHost host;
  // A cup of thick walls open at +z: its inner wall and floor stay.
  MeshObject cup;
  AddBox(cup, {0, 0, 0}, {10, 10, 2});
  AddBox(cup, {0, 0, 0}, {2, 10, 10});
  AddBox(cup, {8, 0, 0}, {10, 10, 10});
  AddBox(cup, {0, 0, 0}, {10, 2, 10});
  AddBox(cup, {0, 8, 0}, {10, 10, 10});
  const std::set<Point> cupPixels = Pixels(Voxelize(host, cup));
  EXPECT_TRUE(cupPixels.count({-3, 0, 1}));  // inner side of the wall at x = 2
  EXPECT_TRUE(cupPixels.count({0, 0, -3}));  // the floor seen from inside
  EXPECT_FALSE(cupPixels.count({-4, 0, -3}));  // the floor's top inside the wall

  // A channel open to -x, closed above and below in z: reached sideways.
  MeshObject channel;
  AddBox(channel, {0, 0, 0}, {10, 3, 10});
  AddBox(channel, {0, 7, 0}, {10, 10, 10});
  AddBox(channel, {8, 0, 0}, {10, 10, 10});
  AddBox(channel, {0, 0, 0}, {10, 10, 2});
  AddBox(channel, {0, 0, 8}, {10, 10, 10});
  const std::set<Point> channelPixels = Pixels(Voxelize(host, channel));
  EXPECT_TRUE(channelPixels.count({3, 0, 0}));   // the far wall of the channel
  EXPECT_TRUE(channelPixels.count({0, -2, 0}));  // its floor
}

TEST(Parts, SinglePixelAndFixPoints) {
  TestHost host;
  MeshObject point;
  AddPoint(point, {1, 2, 3});
  std::vector<uint8_t> part = Voxelize(host, point);
  ASSERT_EQ(part.size(), 50u);
  EXPECT_EQ(VoxMoveCodeOf(&part[42]), 4);
  EXPECT_EQ(VoxReadHead(part.data()).trailerOffset, 49);
  EXPECT_EQ(VoxReadHead(part.data()).nextOffset, 50);

  // The authoring layout: no zero int32, no fix points.
  point.fixPoints = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  EXPECT_EQ(Voxelize(host, point, 1.0f, PartLayout::Authoring).size(), 46u);

  // Fix points in the trailer, posed by the voxelization matrix (here the
  // stretch of a uniform scale by 2).
  point.matrices = {{2, 0, 0, 0, 2, 0, 0, 0, 2}};
  part = Voxelize(host, point);
  ASSERT_EQ(part.size(), size_t(42 + 3 + 4 + 42));
  std::vector<VoxPartView> parts;
  ASSERT_TRUE(VoxListParts(part.data(), part.size(), parts));
  const std::vector<VoxFixPoint> fix = VoxFixPoints(parts[0]);
  ASSERT_EQ(fix.size(), 3u);
  EXPECT_NEAR(fix[2].x, 14.0f, 1e-4f);
  EXPECT_NEAR(fix[2].z, 18.0f, 1e-4f);
}

TEST(Parts, EmptyMeshGivesTheEmptyPart) {
  TestHost host;
  MeshObject nothing;
  const std::vector<uint8_t> part = Voxelize(host, nothing);
  ASSERT_EQ(part.size(), 47u);
  EXPECT_EQ(VoxReadHead(part.data()).trailerOffset, 46);
  EXPECT_EQ(VoxReadHead(part.data()).pixelCount, 0);
}

TEST(Objects, LevelsAreJoinedFinestFirst) {
  TestHost host;
  MeshObject box;
  AddBox(box, {0, 0, 0}, {10, 10, 10});
  box = Prepared(box);
  box.gridSteps = {1.0f, 2.0f, 4.0f};
  box.smoothing = {0, 2, 2};
  ZorvelizedObject result;
  ASSERT_EQ(ZorvelizeObject(host, box, {}, result), 0);
  std::vector<VoxPartView> parts;
  ASSERT_TRUE(VoxListParts(result.voxObject.data(), result.voxObject.size(), parts));
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].head.size, int32_t(result.voxObject.size()));
  EXPECT_EQ(parts[0].head.kind & VoxKindNextPart, VoxKindNextPart);
  EXPECT_EQ(parts[2].head.kind & VoxKindNextPart, 0);
  EXPECT_EQ(parts[2].head.nextOffset, int32_t(parts[2].length));
  EXPECT_GT(parts[0].head.pixelCount, parts[1].head.pixelCount);
  EXPECT_GT(parts[1].head.pixelCount, parts[2].head.pixelCount);
  EXPECT_FLOAT_EQ(parts[1].head.pixelSize, 2.0f);
  EXPECT_EQ(host.outstanding, 0);
  EXPECT_EQ(host.materialsOut, 0);
}

TEST(Objects, BadMeshesAreRefusedWithAMessage) {
  struct Case {
    const char* message;
    void (*spoil)(MeshObject&);
  };
  const Case cases[] = {
      {msg::BadVertex, [](MeshObject& m) { m.vertices[3][1] = std::numeric_limits<float>::quiet_NaN(); }},
      {msg::BadVertex, [](MeshObject& m) { m.vertices[0][0] = std::numeric_limits<float>::infinity(); }},
      {msg::BadFaceIndex, [](MeshObject& m) { m.faces[5].v[2] = 8; }},
      {msg::BadFaceIndex, [](MeshObject& m) { m.faces[0].v[0] = -1; }},
      {msg::BadTextureFace, [](MeshObject& m) { m.textureFaces = {{0, 0, 1}}; }},
      {msg::GridTooLarge, [](MeshObject& m) { m.vertices[7] = {1e20f, 0, 0}; }},
  };
  for (const Case& c : cases) {
    TestHost host;
    MeshObject box;
    AddBox(box, {0, 0, 0}, {10, 10, 10});
    c.spoil(box);
    EXPECT_TRUE(Voxelize(host, box).empty());
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], c.message);
  }
  TestHost host;
  EXPECT_TRUE(ZorvelizeMesh(host, nullptr, 1.0f, 0).empty());
  EXPECT_EQ(host.errors, std::vector<std::string>{msg::NoMesh});
}

namespace {

// A host whose stop flag is set, as a window thread would, at its n-th preview
// point; it counts the points it is shown.
class StoppingHost : public TestHost {
 public:
  int stopAtPoint = -1;
  int points = 0;
  int PlotPoint(int, int, const uint8_t*) override {
    if (++points == stopAtPoint) stopFlag = 1;
    return 0;
  }
};

}  // namespace

TEST(Objects, StopRequestsEndEveryStageWithoutLeaks) {
  MeshObject box;
  AddBox(box, {0, 0, 0}, {20, 20, 20});
  box = Prepared(box, 1.0f, 2);
  StoppingHost counter;
  ZorvelizedObject whole;
  ASSERT_EQ(ZorvelizeObject(counter, box, {}, whole), 0);
  // Points of every stage: transforming, slicing, flooding, chain building.
  for (int tenth = 0; tenth < 10; ++tenth) {
    StoppingHost host;
    host.stopAtPoint = 1 + counter.points * tenth / 10;
    ZorvelizedObject result;
    EXPECT_EQ(ZorvelizeObject(host, box, {}, result), -1) << host.stopAtPoint;
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(host.outstanding, 0);
    EXPECT_EQ(host.materialsOut, 0);
  }
  // A progress display that asks to stop.
  TestHost host;
  host.stopAtStep = 5;
  ZorvelizedObject result;
  EXPECT_EQ(ZorvelizeObject(host, box, {}, result), -1);
  EXPECT_EQ(host.outstanding, 0);
}

TEST(Objects, ProgressCaptionsNameTheObject) {
  TestHost host;
  MeshObject box;
  AddBox(box, {0, 0, 0}, {4, 4, 4});
  box.name = "crate";
  ASSERT_FALSE(Voxelize(host, box).empty());
  EXPECT_EQ(host.progressCaptions,
            (std::vector<std::string>{"Transforming : crate", "Zorvel generation : crate", "Flooding up : crate",
                                      "Flooding down : crate", "Smoothing : crate", "Creating object : crate"}));
}
