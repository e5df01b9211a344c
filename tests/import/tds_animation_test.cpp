// The keyframer calculation and the VUE reader.
#include "import/messages.h"
#include "import/tds_import.h"
#include "tests/import/tds_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace tdstest;
using importer::Mat3;

constexpr double kPi = 3.14159265358979323846;

void ExpectMatrix(const Mat3& actual, const Mat3& expected, double tolerance = 1e-6) {
  for (size_t i = 0; i < 9; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

Mat3 RotationZ(double angle) { return importer::RotationZ(angle); }

Scene CubeWithNode(Node node) {
  Scene s;
  s.meshes = {Cube(node.name)};
  s.nodes = {node};
  return s;
}

TEST(Animation3DS, NinetyDegreesOverThirtyFramesTurnsThreePerFrame) {
  Node n = NodeAt("box", {0, 0, 0});
  n.rotation = {Key{0, {0, 0, 0, 1}}, Key{30, {float(kPi / 2), 0, 0, 1}}};
  Scene s = CubeWithNode(n);
  s.animationLength = 40;
  Read r;
  Animate(r, s);
  ASSERT_TRUE(r.ok);
  const auto& m = r.scene.nodes[0]->matrices;
  ASSERT_EQ(m.size(), 41u);
  // The angle enters negated.
  ExpectMatrix(m[1], RotationZ(-kPi / 60));
  ExpectMatrix(m[30], RotationZ(-kPi / 2));
  // After the last key nothing changes.
  ExpectMatrix(m[40], RotationZ(-kPi / 2));
}

TEST(Animation3DS, ScaleIncrementsCompound) {
  Node n = NodeAt("box", {0, 0, 0});
  n.scale = {Key{0, {1, 1, 1, 0}}, Key{10, {2, 2, 2, 0}}};
  Read r;
  Animate(r, CubeWithNode(n));
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(r.scene.nodes[0]->matrices[10][0], std::pow(1.1, 10), 1e-9);
  EXPECT_NEAR(r.scene.nodes[0]->matrices[10][8], std::pow(1.1, 10), 1e-9);
}

// Mesh locations follow the centre through the node's rotation: the
// position, minus the pivot's image, plus the centre's image of each frame.
TEST(Animation3DS, MeshLocationsFollowTheCentreThroughTheRotation) {
  Scene s = CubeWithNode(NodeAt("box", {5, 0, 0}));
  s.meshes[0] = Cube("box", {1, 2, 3});
  s.nodes[0].pivot = {1, 0, 0};
  s.nodes[0].rotation = {Key{0, {0, 0, 0, 1}}, Key{10, {float(kPi / 2), 0, 0, 1}}};
  Read r;
  Animate(r, s);
  ASSERT_TRUE(r.ok);
  ImportedScene scene;
  importer::ToImportedScene3DS(r.scene, r.callbacks, scene);
  const auto& l = scene.meshes[0].locations;
  EXPECT_EQ(l[0], (std::array<float, 3>{5, 2, 3}));  // (5, 0, 0) - (1, 0, 0) + (1, 2, 3)
  // Frame 10: R(-90°) takes (1, 0, 0) to (0, -1, 0) and (1, 2, 3) to (2, -1, 3).
  EXPECT_NEAR(l[10][0], 5 - 0 + 2, 1e-5);
  EXPECT_NEAR(l[10][1], 0 + 1 - 1, 1e-5);
  EXPECT_NEAR(l[10][2], 3, 1e-5);
}

TEST(Animation3DS, HideKeysFiveAndNineHideFramesFiveToEight) {
  Node n = NodeAt("box", {0, 0, 0});
  n.hide = {5, 9};
  Read r;
  Animate(r, CubeWithNode(n));
  ASSERT_TRUE(r.ok);
  std::vector<uint8_t> expected(11, kFrameShown);
  for (int f = 5; f <= 8; ++f) expected[size_t(f)] = kFrameHidden;
  EXPECT_EQ(r.scene.nodes[0]->frameFlags, expected);
}

TEST(Animation3DS, ChildLocationAddsTheParentsPivotImage) {
  Scene s;
  s.meshes = {Cube("parent"), Cube("child")};
  Node parent = NodeAt("parent", {10, 0, 0});
  parent.pivot = {0, 1, 0};
  parent.rotation = {Key{0, {float(kPi / 2), 0, 0, 1}}};
  Node child = NodeAt("child", {2, 0, 0}, 0);
  child.pivot = {0, 0, 1};
  s.nodes = {parent, child};
  Read r;
  Animate(r, s);
  ASSERT_TRUE(r.ok);
  const Mat3 w = RotationZ(-kPi / 2);
  // Root: P - L·pivot, no pivot image of its own.
  const auto& root = r.scene.nodes[0]->locations[0];
  EXPECT_NEAR(root[0], 10 - 1, 1e-5);  // R(-90°)·(0, 1, 0) = (1, 0, 0)
  EXPECT_NEAR(root[1], 0, 1e-5);
  // Child: W·(P - L·pivot) + parent location + W·parent pivot.
  const auto& c = r.scene.nodes[1]->locations[0];
  EXPECT_NEAR(c[0], 0 + 9 + 1, 1e-5);  // W·(2, 0, -1) = (0, -2, -1); W·(0, 1, 0) = (1, 0, 0)
  EXPECT_NEAR(c[1], -2, 1e-5);
  EXPECT_NEAR(c[2], -1, 1e-5);
  ExpectMatrix(r.scene.nodes[1]->matrices[3], w);
}

TEST(Animation3DS, ParentsThroughEmptySlotsOrCyclesDoNotBreakTheCalculation) {
  Scene s;
  s.meshes = {Cube("a"), Cube("b"), Cube("c")};
  Node camera = NodeAt("cam", {0, 0, 0});
  camera.camera = true;
  s.nodes = {camera, NodeAt("a", {1, 0, 0}, 0), NodeAt("b", {0, 0, 0}, 3), NodeAt("c", {0, 0, 0}, 2)};
  Read r;
  Animate(r, s);
  ASSERT_TRUE(r.ok);
  // A node under a camera counts as a root; nodes in a cycle keep their start.
  EXPECT_EQ(r.scene.nodes[1]->locations[2], (std::array<float, 3>{1, 0, 0}));
  ExpectMatrix(r.scene.nodes[2]->matrices[2], importer::Identity3());
}

TEST(Animation3DS, NoFramesForAnAnimationLengthOfMinusOne) {
  Scene s = CubeWithNode(NodeAt("box", {0, 0, 0}));
  s.animationLength = 0xFFFFFFFF;
  Read r;
  Animate(r, s);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.scene.frameCount, 0);
  s.animationLength = 0x7FFFFFF0;
  Read big;
  Animate(big, s);
  EXPECT_FALSE(big.ok);
  ASSERT_EQ(big.errors.size(), 1u);
  EXPECT_EQ(big.errors[0].rfind(importer::msg::TooManyFrames, 0), 0u);
}

TEST(Vue, FrameBlocksAreCountedNotNumbered) {
  Scene s = CubeWithNode(NodeAt("box", {0, 0, 0}));
  s.meshes[0] = Cube("box", {1, 0, 0});
  Read r;
  Parse(r, Write(s));
  ASSERT_TRUE(r.ok);
  VueTransform t{"box", {0, 1, 0, -1, 0, 0, 0, 0, 1}, {5, 6, 7}};  // columns of a quarter turn about z
  const std::string text = Vue({{1, {t}}, {2, {VueTransform{"box"}}}});
  ASSERT_TRUE(importer::ParseVue({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, r.scene, r.callbacks));
  EXPECT_EQ(r.scene.frameCount, 3);
  ExpectMatrix(r.scene.nodes[0]->matrices[0], RotationZ(kPi / 2));
  ImportedScene scene;
  importer::ToImportedScene3DS(r.scene, r.callbacks, scene);
  // Translation + matrix·centre.
  const auto& l = scene.meshes[0].locations;
  EXPECT_EQ(l[0], (std::array<float, 3>{5, 7, 7}));
  EXPECT_EQ(l[1], (std::array<float, 3>{1, 0, 0}));
  // The last frame is not filled: identity at the origin.
  EXPECT_EQ(r.scene.nodes[0]->locations[2], (std::array<float, 3>{0, 0, 0}));
}

TEST(Vue, AnUnknownObjectNameIsCorruption) {
  Read r;
  Parse(r, Write(CubeWithNode(NodeAt("box", {0, 0, 0}))));
  ASSERT_TRUE(r.ok);
  const std::string text = Vue({{0, {VueTransform{"ghost"}}}});
  EXPECT_FALSE(importer::ParseVue({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, r.scene, r.callbacks));
  EXPECT_EQ(r.errors, std::vector<std::string>{importer::msg::VueCorrupted});
}

}  // namespace
