// The LightWave token reader, scene grammar, object files and motion
// channels, on scenes written by the test writers.
#include "import/lwob_reader.h"
#include "import/lws_messages.h"
#include "import/lws_motion.h"
#include "import/lws_scene.h"
#include "import/lws_tokens.h"
#include "tests/import/lws_writers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using lwstest::Key;
using lwstest::Object;

struct Parsed {
  bool ok = false;
  LwsScene scene;
  std::string error;
  std::vector<std::string> warnings;
};

Parsed Parse(const std::string& text, const MemoryFileSource& files, const std::string& path = "/s/scene.lws") {
  Parsed p;
  p.ok = ParseLwsScene(text, path, files, p.scene, p.error, [&](const std::string& w) { p.warnings.push_back(w); });
  return p;
}

TEST(LwsTokens, ClassifiesIntegersNumbersDecimalCommasAndWords) {
  EXPECT_EQ(ClassifyLwsToken("42", 1).kind, LwsTokenKind::Integer);
  EXPECT_EQ(ClassifyLwsToken("-7", 1).integer, -7);
  const LwsToken comma = ClassifyLwsToken("0,5", 3);
  EXPECT_EQ(comma.kind, LwsTokenKind::Number);
  EXPECT_DOUBLE_EQ(comma.number, 0.5);
  EXPECT_DOUBLE_EQ(ClassifyLwsToken("1.5e2", 1).number, 150.0);
  EXPECT_EQ(ClassifyLwsToken("1,5,5", 1).kind, LwsTokenKind::Word);
  EXPECT_EQ(ClassifyLwsToken("(unnamed)", 1).kind, LwsTokenKind::Word);
  EXPECT_EQ(ClassifyLwsToken("inf", 1).kind, LwsTokenKind::Word);
}

TEST(LwsTokens, WrongKindsAndTheEndRaiseTheirExceptions) {
  LwsTokenReader reader("word\n\n 12 3.5");
  EXPECT_THROW(reader.ReadNumber(), LWSError);
  EXPECT_EQ(reader.ReadInteger(), 12);
  EXPECT_THROW(reader.ReadInteger(), LWSError);
  LwsTokenReader again("x 3.5");
  again.Next();
  try {
    again.ReadInteger();
    FAIL();
  } catch (const LWSError& e) {
    EXPECT_NE(std::string(e.what()).find(lws::msg::ExpectedInteger), std::string::npos);
  }
  EXPECT_THROW(again.Next(), LWSEof);
  LwsTokenReader path("LoadObject   Objects\\My Box.lwo\t7\n");
  path.Next();
  EXPECT_EQ(path.ReadPath(), "Objects\\MyBox.lwo");
  EXPECT_THROW(LwsTokenReader(std::string(600, 'a')).Next(), LWSError);
}

TEST(LwsScene, ReadsObjectsUntilTheFirstEntryThatIsNoObject) {
  MemoryFileSource files;
  const std::vector<uint8_t> cube = lwstest::WriteLwob(lwstest::Cube());
  files.files["/s/Objects/My Box.lwo"] = cube;  // not found: the scene's path drops spaces
  files.files["/s/Objects/MyBox.lwo"] = cube;
  Object box = lwstest::Load("Objects\\My Box.lwo");
  box.keys = {lwstest::MakeKey({0, 0, 0, 0, 0, 0, 1, 1, 1}, 0), lwstest::MakeKey({1, 0, 0, 0, 0, 0, 1, 1, 1}, 10)};
  Object null = lwstest::Null("Pivot");
  null.parent = 0;
  null.pivot = {0, 0.5, 0};
  const Parsed p = Parse(lwstest::Scene({box, null}, 30, "AddLight\nLightName Sun\n"), files);
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.scene.objects.size(), 2u);
  EXPECT_EQ(p.scene.objects[0].name, "MyBox.lwo");
  EXPECT_EQ(p.scene.objects[0].path, "/s/Objects/MyBox.lwo");
  EXPECT_EQ(p.scene.objects[0].keys.size(), 2u);
  EXPECT_EQ(p.scene.objects[0].keys[1].linear, 1);
  EXPECT_EQ(p.scene.objects[0].mesh.triangles.size(), 12u);
  EXPECT_TRUE(p.scene.objects[1].isNull);
  EXPECT_EQ(p.scene.objects[1].parent, 0);
  EXPECT_EQ(p.scene.objects[1].pivot[1], 0.5);
  EXPECT_EQ(p.scene.lastFrame, 30);
}

TEST(LwsScene, ObjectPathsAreFoundUpTheScenesFolders) {
  MemoryFileSource files;
  files.Add("/a/obj/box.lwo", "x");
  EXPECT_EQ(ResolveObjectPath("/a/b/c/scene.lws", "obj/box.lwo", files), "/a/obj/box.lwo");
  EXPECT_EQ(ResolveObjectPath("/a/b/c/scene.lws", "obj\\box.lwo", files), "/a/obj/box.lwo");
  EXPECT_EQ(ResolveObjectPath("\\a\\b\\scene.lws", "C:\\Work\\obj\\box.lwo", files), "");
  files.Add("/a/b/box.lwo", "x");
  EXPECT_EQ(ResolveObjectPath("/a/b/scene.lws", "C:\\Work\\Objects\\box.lwo", files), "/a/b/box.lwo");
  EXPECT_EQ(ResolveObjectPath("/a/b/scene.lws", "far/away/box.lwo", files), "/a/b/box.lwo");
  EXPECT_EQ(ResolveObjectPath("/a/b/scene.lws", "missing.lwo", files), "");
}

TEST(LwsScene, EndOfTextKeepsObjectsButTheHeaderMustBeWhole) {
  MemoryFileSource files;
  files.files["/s/box.lwo"] = lwstest::WriteLwob(lwstest::Cube());
  const std::string full = lwstest::Scene({lwstest::Load("box.lwo"), lwstest::Load("box.lwo")});
  const std::string cut = full.substr(0, full.rfind("ShowObject"));  // the second entry without its motion
  Parsed p = Parse(cut, files);
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.scene.objects.size(), 2u);
  EXPECT_TRUE(p.scene.objects[1].keys.empty());
  p = Parse("LWSC 1 FirstFrame 0 LastFrame", files);
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.error, lws::msg::UnexpectedEnd);
  p = Parse("LWSC 1 FirstFrame 0 LastFrame 10 FrameStep 1 FramesPerSecond 30 AddNullObject n ShowObject 6 x", files);
  EXPECT_FALSE(p.ok);
  EXPECT_NE(p.error.find(lws::msg::ExpectedInteger), std::string::npos);
}

TEST(LwsScene, AMissingObjectEndsTheListWithAWarning) {
  MemoryFileSource files;
  files.files["/s/box.lwo"] = lwstest::WriteLwob(lwstest::Cube());
  const Parsed p = Parse(lwstest::Scene({lwstest::Load("box.lwo"), lwstest::Load("gone.lwo"), lwstest::Load("box.lwo")}), files);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.scene.objects.size(), 1u);
  ASSERT_EQ(p.warnings.size(), 1u);
  EXPECT_NE(p.warnings[0].find(lws::msg::ObjectNotLoaded), std::string::npos);
}

TEST(LwsScene, ParentsOutsideTheListOrInALoopAreRefused) {
  MemoryFileSource files;
  Object a = lwstest::Null("a"), b = lwstest::Null("b");
  b.parent = 2;
  Parsed p = Parse(lwstest::Scene({a, b}), files);
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.error, std::string(lws::msg::ParentOutOfRange) + " b");
  a.parent = 1;
  b.parent = 0;
  p = Parse(lwstest::Scene({a, b}), files);
  EXPECT_FALSE(p.ok);
  EXPECT_NE(p.error.find(lws::msg::ParentLoop), std::string::npos);
}

TEST(Lwob, QuadsAndPentagonsBecomeFansWithOutlineFlags) {
  lwstest::Lwob o;
  // Six points round a circle: every polygon over them is convex.
  for (int i = 0; i < 6; ++i) o.points.push_back({std::cos(0.9f * float(i)), std::sin(0.9f * float(i)), 0});
  o.polygons = {{{0, 1, 2}, 1}, {{0, 1, 2, 3}, 2}, {{0, 1, 2, 3, 4}, 1}, {{0, 1}, 1}, {{0, 1, 2}, -1}};
  o.surfaces = {lwstest::NamedSurface("A"), lwstest::NamedSurface("B")};
  LwobObject object;
  std::string error;
  ASSERT_TRUE(ReadLwob(lwstest::WriteLwob(o), object, error)) << error;
  ASSERT_EQ(object.triangles.size(), 6u);
  const uint8_t flags[6] = {7, 3, 6, 3, 2, 6};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(object.triangles[i].flags, flags[i]) << i;
  EXPECT_EQ(object.triangles[1].material, 1);
  EXPECT_EQ(object.triangles[4].v[0], 0);
  EXPECT_EQ(object.triangles[4].v[1], 2);
  EXPECT_EQ(object.triangles[4].v[2], 3);
  EXPECT_EQ(object.surfaces[0].colour[0], 200);
  EXPECT_FLOAT_EQ(object.surfaces[0].specular, 0.5f);
}

TEST(Lwob, ConcavePolygonsAreSplitInsideTheirOutlineWhereverThePointsCome) {
  lwstest::Lwob o;
  o.points = {{0, 0, 0}, {3, 0, 0}, {3, 1, 0}, {1, 1, 0}, {1, 3, 0}, {0, 3, 0}};  // an L of area 5
  o.polygons = {{{0, 1, 2, 3, 4, 5}, 1}};
  o.surfaces = {lwstest::NamedSurface("A")};
  std::vector<uint8_t> bytes = lwstest::WriteLwob(o);
  // Move the PNTS chunk (right after the form header) to the end.
  const size_t pointsSize = 8 + 12 * o.points.size();
  std::vector<uint8_t> moved(bytes.begin(), bytes.begin() + 12);
  moved.insert(moved.end(), bytes.begin() + 12 + long(pointsSize), bytes.end());
  moved.insert(moved.end(), bytes.begin() + 12, bytes.begin() + 12 + long(pointsSize));
  LwobObject object;
  std::string error;
  ASSERT_TRUE(ReadLwob(moved, object, error)) << error;
  ASSERT_EQ(object.triangles.size(), 4u);
  double area = 0;
  for (const LwobTriangle& t : object.triangles) {
    const auto& a = o.points[size_t(t.v[0])];
    const auto& b = o.points[size_t(t.v[1])];
    const auto& c = o.points[size_t(t.v[2])];
    const double doubled = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    EXPECT_GT(doubled, 0);
    area += doubled / 2;
  }
  EXPECT_DOUBLE_EQ(area, 5);
}

TEST(Lwob, BadReferencesAndTruncationsAreRefused) {
  lwstest::Lwob o = lwstest::Cube();
  o.polygons.push_back({{0, 1, 8}, 1});
  LwobObject object;
  std::string error;
  EXPECT_FALSE(ReadLwob(lwstest::WriteLwob(o), object, error));
  EXPECT_EQ(error, lws::msg::PolygonVertex);
  o = lwstest::Cube();
  o.polygons.push_back({{0, 1, 2}, 2});
  EXPECT_FALSE(ReadLwob(lwstest::WriteLwob(o), object, error));
  EXPECT_EQ(error, lws::msg::PolygonSurface);
  const std::vector<uint8_t> good = lwstest::WriteLwob(lwstest::Cube());
  for (size_t n = 0; n < good.size(); ++n) {
    const std::vector<uint8_t> prefix(good.begin(), good.begin() + long(n));
    EXPECT_FALSE(ReadLwob(prefix, object, error)) << n;
  }
  EXPECT_TRUE(ReadLwob(good, object, error));
}

TEST(LwsMotion, LinearAndSplineSegments) {
  Key k0 = lwstest::MakeKey({0, 0, 0, 0, 0, 0, 1, 1, 1}, 0);
  Key k1 = lwstest::MakeKey({10, 0, 0, 90, 0, 0, 2, 1, 1}, 10);
  k1.interpolation = 0;
  auto toKey = [](const Key& k) {
    LwsKey key;
    key.values = k.values;
    key.frame = k.frame;
    key.linear = k.interpolation == 0 ? 1 : 0;
    return key;
  };
  std::vector<LwsKey> keys{toKey(k0), toKey(k1)};
  EXPECT_DOUBLE_EQ(EvaluateLwsChannels(keys, 2.5, 11)[0], 2.5);
  EXPECT_DOUBLE_EQ(EvaluateLwsChannels(keys, 40, 11)[3], 90);
  // A spline through 0, 10, 0 at frames 0, 10, 20: the tangent at the peak
  // is flat, so a quarter of the way up is above the straight line.
  keys[1].linear = 0;
  keys.push_back(toKey(k0));
  keys[2].frame = 20;
  keys[2].linear = 0;
  EXPECT_NEAR(EvaluateLwsChannels(keys, 2.5, 21)[0], 2.96875, 1e-12);
  keys.pop_back();
  // Keys not starting at 0 nor ending at the span: neighbours stay in the list.
  keys[0].frame = 5;
  keys[1].frame = 20;
  EXPECT_TRUE(std::isfinite(EvaluateLwsChannels(keys, 6, 11)[0]));
  EXPECT_EQ(EvaluateLwsChannels({}, 3, 11)[6], 1.0);
}

TEST(LwsMotion, ChildMatricesComposeWithTheParentsAndThePivot) {
  LwsScene scene;
  scene.lastFrame = 0;
  LwsObject parent, child;
  LwsKey turn;
  turn.values = {5, 0, 0, 90, 0, 0, 1, 1, 1};  // heading 90 about y, moved 5 along x
  parent.keys = {turn};
  LwsKey still;
  still.values = {0, 0, 1, 0, 0, 0, 2, 2, 2};
  child.keys = {still};
  child.parent = 0;
  child.pivot = {1, 0, 0};
  scene.objects = {parent, child};
  const auto world = LwsWorldMatrices(scene, 1);
  // The child's point (1, 0, 0) is its pivot: scaled about it, it stays at
  // (0, 0, 1) in the parent, which the heading turns to (1, 0, 0), then + 5.
  const auto p = LwsTransformPoint(world[1][0], {1, 0, 0});
  EXPECT_NEAR(p[0], 6, 1e-12);
  EXPECT_NEAR(p[1], 0, 1e-12);
  EXPECT_NEAR(p[2], 0, 1e-12);
  const std::string dump = LwsDebugDump(scene, world, 1);
  EXPECT_EQ(dump.rfind("------------------ Frame #0\nObject \nRotation:\n", 0), 0u);
  EXPECT_NE(dump.find("Shift: 6.000000 0.000000 0.000000\n"), std::string::npos);
}

}  // namespace
