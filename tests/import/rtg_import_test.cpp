// Alias RTG scenes imported whole: hierarchy and the animation calculation,
// the material list and the materials file, animation files, and refusals.
#include "import/rtg_import.h"
#include "import/rtg_messages.h"
#include "tests/import/rtg_writers.h"

#include <gtest/gtest.h>

namespace {

using rtgtest::MakeNode;

struct Result {
  bool ok = false;
  ImportedScene scene;
  std::vector<std::string> errors, warnings, captions;
};

Result Import(const MemoryFileSource& files, const std::string& stem = "/s/anim", const std::string& materials = "/m/") {
  Result r;
  ImportCallbacks callbacks;
  callbacks.error = [&](const std::string& m) { r.errors.push_back(m); };
  callbacks.warning = [&](const std::string& m) { r.warnings.push_back(m); };
  callbacks.begin = [&](const std::string& caption, int) { r.captions.push_back(caption); };
  ImportOptions options;
  options.animationStem = stem;
  options.materialsPath = materials;
  r.ok = ImportRtgScene("/s/scene.rtg", files, options, callbacks, r.scene);
  return r;
}

void ExpectMatrix(const std::array<float, 9>& m, const std::array<float, 9>& expected) {
  for (size_t k = 0; k < 9; ++k) EXPECT_NEAR(m[k], expected[k], 1e-5) << k;
}

// A group turned 90 degrees about z, scaled 2 and moved 1 along x, with a
// polygon child moved 1 along its parent's x.
rtgtest::Scene ScaledParent() {
  rtgtest::Scene scene;
  rtgtest::Node root = MakeNode(0, "G", "root"), child = MakeNode(1, "P", "child");
  root.translation = {1, 0, 0};
  root.rotation = {0, 0, 90};
  root.scale = {2, 2, 2};
  child.translation = {1, 0, 0};
  scene.nodes = {root, child};
  rtgtest::Object object;
  object.name = "child";
  scene.objects = {object};
  return scene;
}

TEST(RtgImport, AChildOfAScaledParentKeepsItsLocationUnscaled) {
  MemoryFileSource files;
  files.Add("/s/scene.rtg", rtgtest::WriteRtg(ScaledParent()));
  const Result r = Import(files);
  ASSERT_TRUE(r.ok) << r.errors[0];
  EXPECT_EQ(r.warnings, std::vector<std::string>{rtg::msg::NoAnimation});
  EXPECT_EQ(r.captions, (std::vector<std::string>{rtg::msg::LoadingRtg, rtg::msg::LoadingAnimation,
                                                  rtg::msg::CalculatingAnimation}));
  EXPECT_EQ(r.scene.frameCount, 1);
  ASSERT_EQ(r.scene.meshes.size(), 1u);  // the group is no mesh
  const ImportedMesh& child = r.scene.meshes[0];
  EXPECT_EQ(child.name, "child");
  EXPECT_NEAR(child.locations[0][0], 1, 1e-5);
  EXPECT_NEAR(child.locations[0][1], 1, 1e-5);
  EXPECT_NEAR(child.locations[0][2], 0, 1e-5);
  ExpectMatrix(child.matrices[0], {0, -2, 0, 2, 0, 0, 0, 0, 2});
}

TEST(RtgImport, WorldMatricesGiveTheSamePlacementsInMat4x4Mode) {
  rtgtest::Scene scene = ScaledParent();
  scene.mat4x4 = true;
  scene.nodes[0].world = {0, -2, 0, 2, 0, 0, 0, 0, 2};
  scene.nodes[0].worldTranslation = {1, 0, 0};
  scene.nodes[1].world = {0, -2, 0, 2, 0, 0, 0, 0, 2};
  scene.nodes[1].worldTranslation = {1, 1, 0};
  MemoryFileSource files;
  files.Add("/s/scene.rtg", rtgtest::WriteRtg(scene));
  Result r = Import(files);
  ASSERT_TRUE(r.ok) << r.errors[0];
  EXPECT_NEAR(r.scene.meshes[0].locations[0][0], 1, 1e-5);
  EXPECT_NEAR(r.scene.meshes[0].locations[0][1], 1, 1e-5);
  ExpectMatrix(r.scene.meshes[0].matrices[0], {0, -2, 0, 2, 0, 0, 0, 0, 2});
  // An animated root takes its scale from the file (1 here) and moves the
  // child with it.
  rtgtest::Frame moved;
  moved.t = {0, 0, 5};
  files.Add("/s/anim_root", rtgtest::AnimationFile({rtgtest::Frame{}, moved}));
  r = Import(files);
  ASSERT_EQ(r.scene.frameCount, 2);
  EXPECT_NEAR(r.scene.meshes[0].locations[1][2], 5, 1e-5);
  EXPECT_NEAR(r.scene.meshes[0].locations[1][1], 1, 1e-5);
  ExpectMatrix(r.scene.meshes[0].matrices[1], {0, -1, 0, 1, 0, 0, 0, 0, 1});
}

TEST(RtgImport, TexturesComeFirstThenEachPolygonColourOnce) {
  rtgtest::Scene scene;
  scene.nodes = {MakeNode(0, "P", "box")};
  rtgtest::Object box;
  box.name = "box";
  box.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  box.texCoords = {{0.5f, 0.25f}, {1, 0}, {0, 1}};
  rtgtest::Polygon textured;
  textured.texture = 1;
  textured.v = {1, 2, 3};
  textured.tex = {0, 1, 2};
  rtgtest::Polygon red, green;
  green.rgb = {0, 255, 0};
  box.polygons = {textured, red, green, red};
  scene.objects = {box};
  scene.textureFile = "tex.bin";
  scene.textures = {{2, 1}, {1, 2}};
  MemoryFileSource files;
  files.Add("/s/scene.rtg", rtgtest::WriteRtg(scene));
  files.files["/m/tex.bin"] = rtgtest::WriteBin(scene);
  Result r = Import(files);
  ASSERT_TRUE(r.ok) << r.errors[0];
  ASSERT_EQ(r.scene.materials.size(), 4u);
  EXPECT_EQ(r.scene.materials[1].kind, ImportedMaterial::kTextured);
  EXPECT_EQ(r.scene.materials[1].texture.height, 2);
  EXPECT_EQ(r.scene.materials[1].texture.pixels, (std::vector<uint8_t>{1, 0, 7, 1, 1, 7}));
  EXPECT_EQ(r.scene.materials[2].kind, ImportedMaterial::kFlat);
  EXPECT_EQ(r.scene.materials[3].diffuse[1], 255);
  const ImportedMesh& mesh = r.scene.meshes[0];
  const int32_t expected[4] = {1, 2, 3, 2};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(mesh.faces[i].material, expected[i]);
  // Vertex 1 took its texture coordinate from the textured polygon, and the
  // later polygons that share it (as their vertex 0 -> coordinate 0) win.
  ASSERT_EQ(mesh.textureVertices.size(), 4u);
  EXPECT_EQ(mesh.textureVertices[1][0], 1.0f);
  EXPECT_EQ(mesh.textureVertices[3][1], 1.0f);

  // A materials file that ends early, and one that is missing.
  files.files["/m/tex.bin"].resize(20);
  r = Import(files);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errors, std::vector<std::string>{std::string(rtg::msg::CantLoadTextures) + ": /m/tex.bin"});
  r = Import(files, "/s/anim", "/elsewhere");
  EXPECT_EQ(r.errors, std::vector<std::string>{std::string(rtg::msg::CantLoadTextures) + ": /elsewhere/tex.bin"});
}

TEST(RtgImport, TheLastAnimatedNodeSetsTheFrameCountAndShortFilesHoldTheirLastFrame) {
  rtgtest::Scene scene;
  scene.nodes = {MakeNode(0, "P", "a"), MakeNode(0, "P", "b")};
  scene.nodes[1].scale = {3, 3, 3};
  rtgtest::Object a, b;
  a.name = "a";
  b.name = "b";
  scene.objects = {a, b};
  std::vector<rtgtest::Frame> thirty(30), forty(40);
  for (int f = 0; f < 40; ++f) {
    if (f < 30) thirty[size_t(f)].t = {float(f), 0, 0};
    forty[size_t(f)].r = {0, 0, 90};
    forty[size_t(f)].withScale = false;  // scale 1, not the base scale 3
  }
  MemoryFileSource files;
  files.Add("/s/scene.rtg", rtgtest::WriteRtg(scene));
  files.Add("/s/anim_a", rtgtest::AnimationFile(thirty));
  files.Add("/s/anim_b", rtgtest::AnimationFile(forty));
  Result r = Import(files);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.warnings.empty());
  ASSERT_EQ(r.scene.frameCount, 40);
  EXPECT_EQ(r.scene.meshes[0].locations[35][0], 29.0f);
  ExpectMatrix(r.scene.meshes[1].matrices[39], {0, -1, 0, 1, 0, 0, 0, 0, 1});

  files.Add("/s/anim_a", rtgtest::AnimationFile(forty));
  files.Add("/s/anim_b", rtgtest::AnimationFile(thirty));
  r = Import(files);
  EXPECT_EQ(r.scene.frameCount, 30);
  EXPECT_EQ(r.scene.meshes[0].locations.size(), 30u);
}

TEST(RtgImport, DamagedScenesAreRefusedWithTheirReason) {
  rtgtest::Scene scene = ScaledParent();
  scene.objects[0].polygons[0].v = {0, 1, 3};
  MemoryFileSource files;
  files.Add("/s/scene.rtg", rtgtest::WriteRtg(scene));
  Result r = Import(files);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errors, std::vector<std::string>{std::string(rtg::msg::CantLoadScene) + ": " + rtg::msg::PolygonVertex + " child"});
  scene = ScaledParent();
  scene.objects[0].polygons[0].texture = 0;  // no texture table
  files.Add("/s/scene.rtg", rtgtest::WriteRtg(scene));
  EXPECT_FALSE(Import(files).ok);
  const std::string text = rtgtest::WriteRtg(ScaledParent());
  for (size_t cut : {text.find("worldTM:") + 12, text.find("POLYGON") + 10}) {
    files.Add("/s/scene.rtg", text.substr(0, cut));
    r = Import(files);
    EXPECT_FALSE(r.ok) << cut;
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].rfind(std::string(rtg::msg::CantLoadScene) + ": " + rtg::msg::FileEnds, 0), 0u);
  }
  r = Import(MemoryFileSource());
  EXPECT_EQ(r.errors, std::vector<std::string>{std::string(rtg::msg::CantLoadScene) + ": " + rtg::msg::CantOpen + " /s/scene.rtg"});
}

TEST(RtgImport, OptionsOtherThanOnLeaveOutNormalsAndWithoutAStemNothingMoves) {
  std::string text = rtgtest::WriteRtg(ScaledParent());
  // Normals on: a normal count, list and per-polygon indices are expected.
  text.replace(text.find("OUTPUT_VERT_NORMS off"), 21, "OUTPUT_VERT_NORMS on");
  text.replace(text.find(" t3"), 3, " n1 t3");
  text.replace(text.find("TEXCOORD"), 8, "NORMAL\n  i 0 0 1\nTEXCOORD");
  text.replace(text.find("  i 0 1 2 0 1 2"), 15, "  i 0 1 2 0 0 0 0 1 2");
  MemoryFileSource files;
  files.Add("/s/scene.rtg", text);
  Result r = Import(files, "");
  ASSERT_TRUE(r.ok) << r.errors[0];
  EXPECT_EQ(r.scene.materials.size(), 1u);
  EXPECT_EQ(r.warnings, std::vector<std::string>{rtg::msg::NoAnimation});
  text.replace(text.find("OUTPUT_VERT_NORMS on"), 20, "OUTPUT_VERT_NORMS yes");
  files.Add("/s/scene.rtg", text);
  EXPECT_FALSE(Import(files).ok);  // "n1" is then read as the polygon count
}

}  // namespace
