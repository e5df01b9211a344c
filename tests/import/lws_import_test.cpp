// LightWave scenes imported whole: meshes, materials with image maps,
// hierarchy through null objects, orientation and the debug dump.
#include "import/lws_import.h"
#include "import/lws_messages.h"
#include "palette/palette.h"
#include "tests/import/lws_writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using lwstest::Key;
using lwstest::Object;

struct Result {
  bool ok = false;
  ImportedScene scene;
  std::vector<std::string> errors, warnings;
};

Result Import(const MemoryFileSource& files, int orientation = 0, const std::string& dump = "") {
  Result r;
  ImportCallbacks callbacks;
  callbacks.error = [&](const std::string& m) { r.errors.push_back(m); };
  callbacks.warning = [&](const std::string& m) { r.warnings.push_back(m); };
  ImportOptions options;
  options.orientation = orientation;
  r.ok = ImportLwsScene("/s/scene.lws", files, options, callbacks, r.scene, dump);
  return r;
}

// A scene of a null object moving along x over frames 0..10 and a textured
// cube ("ZVL") parented to it, then a flat cube whose image is missing.
MemoryFileSource TexturedScene() {
  MemoryFileSource files;
  lwstest::Lwob textured = lwstest::Cube(0, 0, 0, "ZVL");
  lwstest::Texture map;
  map.size = {2, 2, 2};
  map.image = "Images\\check.bmp";
  textured.surfaces[0].textures = {map};
  files.files["/s/textured.lwo"] = lwstest::WriteLwob(textured);
  lwstest::Lwob missing = lwstest::Cube(3, 0, 0, "Rock");
  map.image = "gone.bmp";
  missing.surfaces[0].textures = {map};
  files.files["/s/missing.lwo"] = lwstest::WriteLwob(missing);
  TextureImage image;
  image.width = image.height = 2;
  image.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  files.files["/s/Images/check.bmp"] = EncodeBmpTexture(image);

  Object mover = lwstest::Null("Mover");
  mover.keys = {lwstest::MakeKey({0, 0, 0, 0, 0, 0, 1, 1, 1}, 0),
                lwstest::MakeKey({10, 0, 0, 0, 0, 0, 1, 1, 1}, 10)};
  Object cube = lwstest::Load("textured.lwo");
  cube.keys = {lwstest::MakeKey({0, 2, 3, 0, 0, 0, 1, 1, 1})};
  cube.parent = 0;
  Object rock = lwstest::Load("missing.lwo");
  files.Add("/s/scene.lws", lwstest::Scene({mover, cube, rock}, 10));
  return files;
}

TEST(LwsImport, NullParentsMoveTheirChildrenAndNullsAreNoMeshes) {
  const Result r = Import(TexturedScene());
  ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors[0]);
  EXPECT_EQ(r.scene.frameCount, 11);
  ASSERT_EQ(r.scene.meshes.size(), 2u);
  const ImportedMesh& cube = r.scene.meshes[0];
  EXPECT_EQ(cube.name, "textured.lwo");
  EXPECT_EQ(cube.parent, -1);  // its parent is a null object
  EXPECT_EQ(cube.faces.size(), 12u);
  EXPECT_EQ(cube.faces[0].flags, 3);
  ASSERT_EQ(cube.locations.size(), 11u);
  // XYZ orientation mirrors z.
  EXPECT_NEAR(cube.locations[5][0], 5, 1e-5);
  EXPECT_NEAR(cube.locations[5][1], 2, 1e-5);
  EXPECT_NEAR(cube.locations[5][2], -3, 1e-5);
  EXPECT_EQ(cube.matrices[5][8], -1.0f);
  const ImportedMesh& rock = r.scene.meshes[1];
  EXPECT_EQ(rock.centre[0], 3.0f);
  EXPECT_NEAR(rock.locations[0][0], 3, 1e-5);  // its bounding-box centre, placed
  EXPECT_EQ(rock.faces[0].material, 1);
}

TEST(LwsImport, ImageMapsMakeTexturedMaterialsAndMissingImagesFlatOnes) {
  const Result r = Import(TexturedScene());
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.scene.materials.size(), 2u);
  const ImportedMaterial& zvl = r.scene.materials[0];
  EXPECT_EQ(zvl.kind, ImportedMaterial::kTextured);
  EXPECT_EQ(zvl.flag, 1);
  EXPECT_EQ(zvl.texture.width, 2);
  EXPECT_EQ(zvl.texture.pixels[0], 255);
  const ImportedMesh& cube = r.scene.meshes[0];
  ASSERT_EQ(cube.textureVertices.size(), cube.vertices.size());
  ASSERT_EQ(cube.textureFaces.size(), cube.faces.size());
  // Vertex 3 is (0.5, 0.5, -0.5): a planar map along z of size 2 around the
  // origin puts it at u 0.75, v -0.25.
  EXPECT_NEAR(cube.textureVertices[3][0], 0.75f, 1e-6);
  EXPECT_NEAR(cube.textureVertices[3][1], -0.25f, 1e-6);
  const ImportedMaterial& rock = r.scene.materials[1];
  EXPECT_EQ(rock.kind, ImportedMaterial::kFlat);
  EXPECT_EQ(rock.flag, 0);
  EXPECT_EQ(rock.diffuse[0], 200);
  EXPECT_FALSE(rock.textureError.empty());
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0], rock.textureError);
  EXPECT_TRUE(r.scene.meshes[1].textureVertices.empty());
}

TEST(LwsImport, AParentLaterInTheListIsStillTheChildsMesh) {
  MemoryFileSource files;
  files.files["/s/box.lwo"] = lwstest::WriteLwob(lwstest::Cube());
  Object child = lwstest::Load("box.lwo"), parent = lwstest::Load("box.lwo");
  child.parent = 1;
  parent.keys = {lwstest::MakeKey({7, 0, 0, 0, 0, 0, 1, 1, 1})};
  files.Add("/s/scene.lws", lwstest::Scene({child, parent}, 0));
  const Result r = Import(files);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.scene.meshes[0].parent, 1);
  EXPECT_EQ(r.scene.meshes[1].parent, -1);
  EXPECT_NEAR(r.scene.meshes[0].locations[0][0], 7, 1e-5);
}

TEST(LwsImport, XzyOrientationSwapsYAndZ) {
  const Result r = Import(TexturedScene(), 1);
  ASSERT_TRUE(r.ok);
  EXPECT_NEAR(r.scene.meshes[0].locations[0][1], 3, 1e-5);
  EXPECT_NEAR(r.scene.meshes[0].locations[0][2], 2, 1e-5);
  EXPECT_EQ(r.scene.meshes[0].matrices[0][5], 1.0f);
}

TEST(LwsImport, WritesTheDebugDumpAndRefusesBadScenes) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "lws_import_test";
  std::filesystem::create_directories(folder);
  const std::string dump = (folder / "tlws.out").string();
  ASSERT_TRUE(Import(TexturedScene(), 0, dump).ok);
  std::ifstream in(dump);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().rfind("------------------ Frame #0\nObject Mover\nRotation:\n", 0), 0u);
  EXPECT_NE(text.str().find("------------------ Frame #10\n"), std::string::npos);
  std::filesystem::remove_all(folder);

  MemoryFileSource files;
  files.Add("/s/scene.lws", "LWSC 1 FirstFrame 0 LastFrame 99999999 FrameStep 1 FramesPerSecond 30 AddNullObject n");
  Result r = Import(files);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errors, std::vector<std::string>{lws::msg::TooManyPlacements});
  r = Import(MemoryFileSource());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errors, std::vector<std::string>{std::string(lws::msg::CantReadScene) + " /s/scene.lws"});
}

}  // namespace
