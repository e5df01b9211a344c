// The 3D Studio reader: fixed order, node numbering, key headers, the mesh
// matrix, materials, names, and bad files.
#include "import/messages.h"
#include "import/tds_import.h"
#include "tests/import/tds_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "palette/palette.h"

namespace {

using namespace tdstest;
namespace msg = importer::msg;

Scene OneCube() {
  Scene s;
  s.materials = {tdstest::Material{"red", {255, 0, 0}, -1, ""}};
  s.meshes = {Cube("box", {1, 2, 3})};
  s.meshes[0].material = "red";
  s.nodes = {NodeAt("box", {1, 2, 3})};
  return s;
}

TEST(Reader3DS, ReadsMeshesMaterialsAndNodes) {
  Read r;
  Parse(r, Write(OneCube()));
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.scene.meshes.size(), 1u);
  const auto& mesh = *r.scene.meshes[0].mesh;
  EXPECT_EQ(mesh.vertices.size(), 8u);
  EXPECT_EQ(mesh.faceArray.faces.size(), 12u);
  EXPECT_EQ(mesh.centre, (std::array<float, 3>{1, 2, 3}));
  EXPECT_TRUE(r.scene.meshes[0].noCastShadows);
  EXPECT_EQ(r.scene.meshes[0].nodeIndex, 0);
  ASSERT_EQ(r.scene.materials.size(), 1u);
  // The one colour sub-chunk stands for both triplets; the others keep their defaults.
  EXPECT_EQ(r.scene.materials[0].diffuse.linear, (std::array<uint8_t, 3>{255, 0, 0}));
  EXPECT_EQ(r.scene.materials[0].ambient.linear, (std::array<uint8_t, 3>{13, 13, 13}));
  EXPECT_EQ(r.scene.materials[0].shininess, 20);
  EXPECT_EQ(r.scene.animationLength, 10u);
  EXPECT_TRUE(r.errors.empty());
}

TEST(Reader3DS, RefusesAFileWithoutKeyframerSection) {
  Scene s = OneCube();
  s.keyframer = false;
  Read r;
  Parse(r, Write(s));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errors, std::vector<std::string>{msg::ExpectedKeyframer});
}

TEST(Reader3DS, CameraNodesKeepTheirPlaceInTheNumbering) {
  Scene s = OneCube();
  s.meshes.push_back(Cube("lid"));
  Node camera = NodeAt("cam", {0, 0, 0});
  camera.camera = true;
  s.nodes = {camera, NodeAt("box", {0, 0, 0}), NodeAt("lid", {0, 0, 1}, 1)};
  Read r;
  Parse(r, Write(s));
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.scene.nodes.size(), 3u);
  EXPECT_EQ(r.scene.nodes[0], nullptr);
  EXPECT_EQ(r.scene.FindNode("box"), 1);
  EXPECT_EQ(r.scene.meshes[0].nodeIndex, 1);
  EXPECT_EQ(r.scene.meshes[1].nodeIndex, 2);
  EXPECT_EQ(r.scene.nodes[1]->children, std::vector<int>{2});
  EXPECT_EQ(r.scene.FindMeshOfNode(2), 1);
}

TEST(Reader3DS, KeyHeadersCarryOneFloatPerSplineFlag) {
  Scene s = OneCube();
  s.nodes[0].position = {Key{0, {1, 2, 3, 0}, 0x10}, Key{5, {4, 5, 6, 0}, 0x1F}, Key{9, {7, 8, 9, 0}, 0}};
  Read r;
  Parse(r, Write(s));
  ASSERT_TRUE(r.ok);
  const auto& track = r.scene.nodes[0]->position;
  ASSERT_EQ(track.keys.size(), 3u);
  EXPECT_EQ(track.keys[0].easeFrom, 4.5f);
  EXPECT_EQ(track.keys[0].tension, 0.0f);
  EXPECT_EQ(track.keys[1].tension, 0.5f);
  EXPECT_EQ(track.keys[1].easeFrom, 4.5f);
  EXPECT_EQ(track.values[1], (std::array<float, 4>{4, 5, 6, 0}));
  EXPECT_EQ(track.keys[2].frame, 9u);
  EXPECT_EQ(track.values[2], (std::array<float, 4>{7, 8, 9, 0}));
}

// The mesh matrix maps the object's frame into the scene, where the
// vertices are stored.
void ExpectObjectFrame(const std::array<float, 12>& matrix, const std::array<float, 3>& local) {
  Scene s = OneCube();
  Mesh& m = s.meshes[0];
  m.hasMatrix = true;
  m.matrix = matrix;
  std::array<float, 3> world;
  for (int i = 0; i < 3; ++i)
    world[size_t(i)] = matrix[size_t(9 + i)] + local[0] * matrix[size_t(i)] + local[1] * matrix[size_t(3 + i)] +
                       local[2] * matrix[size_t(6 + i)];
  m.vertices[0] = world;
  Read r;
  Parse(r, Write(s));
  ASSERT_TRUE(r.ok);
  const auto& v = r.scene.meshes[0].mesh->vertices[0];
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[size_t(i)], local[size_t(i)], 1e-4) << i;
}

TEST(Reader3DS, MeshMatrixTakesVerticesIntoTheObjectFrame) {
  // Rotated a quarter turn about z, moved.
  ExpectObjectFrame({0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 20, 30}, {1, 2, 3});
  // Rotated and scaled to a tenth, as real files store it.
  ExpectObjectFrame({0, 0.1f, 0, -0.1f, 0, 0, 0, 0, 0.1f, 5, 0, 0}, {10, 20, 30});
  // Axes of different lengths, not orthogonal.
  ExpectObjectFrame({2, 0, 0, 1, 3, 0, 0, 0, 0.5f, 0, 0, 0}, {1, -1, 4});
}

TEST(Reader3DS, SingularMeshMatrixUsesTheAxesAsTheyAre) {
  Scene s = OneCube();
  s.meshes[0].hasMatrix = true;
  s.meshes[0].matrix = {1, 0, 0, 1, 0, 0, 0, 0, 2, 1, 1, 1};
  s.meshes[0].vertices[0] = {3, 5, 7};
  Read r;
  Parse(r, Write(s));
  ASSERT_TRUE(r.ok);
  // Dot products of (2, 4, 6) with the three axes.
  EXPECT_EQ(r.scene.meshes[0].mesh->vertices[0], (std::array<float, 3>{2, 2, 12}));
}

TEST(Reader3DS, ShininessComesFromThePercentageSubChunk) {
  Scene s = OneCube();
  s.materials[0].shininess = 45;
  Read r;
  Parse(r, Write(s));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.scene.materials[0].shininess, 45);
  EXPECT_EQ(r.scene.materials[0].shininessStrength, 10);
}

TEST(Reader3DS, NamesAreCutTo16CharactersWhereStoredAndCompared) {
  Scene s = OneCube();
  s.meshes[0].name = s.nodes[0].name = "a_very_long_object_name";
  s.materials[0].name = s.meshes[0].material = "a_very_long_material_name";
  Read r;
  Parse(r, Write(s));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.scene.meshes[0].name, "a_very_long_obje");
  EXPECT_EQ(r.scene.FindNode("a_very_long_object_name"), 0);
  EXPECT_EQ(r.scene.FindMaterial("a_very_long_material_name"), 0);
  EXPECT_EQ(r.scene.meshes[0].nodeIndex, 0);
}

TEST(Reader3DS, RefusesAFaceNamingAMissingVertex) {
  Scene s = OneCube();
  s.meshes[0].faces[3] = {0, 1, 8};
  Read r;
  Parse(r, Write(s));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.errors, std::vector<std::string>{std::string(msg::FaceVertexMissing) + " box"});
}

TEST(Reader3DS, EveryTruncationAndCorruptionFailsWithAMessage) {
  const std::vector<uint8_t> bytes = Write(OneCube());
  for (size_t n = 0; n < bytes.size(); ++n) {
    Read r;
    Parse(r, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(n)));
    if (r.ok) continue;  // cut inside the part that is never read
    EXPECT_FALSE(r.errors.empty()) << n;
  }
  // A chunk longer than its parent.
  std::vector<uint8_t> bad = bytes;
  bad[16 + 4] = 0xFF;  // the mesh-data chunk's length (header at byte 16)
  Read r;
  Parse(r, bad);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.errors.empty());
}

TEST(Import3DS, FacesTakeTheirGroupsMaterialAndMissingOnesWarn) {
  Scene s = OneCube();
  s.meshes.push_back(Cube("other"));
  s.meshes[1].material = "nothing";
  s.materials.insert(s.materials.begin(), tdstest::Material{"first", {1, 2, 3}, -1, ""});
  Read r;
  Animate(r, s);
  ASSERT_TRUE(r.ok);
  ImportedScene scene;
  importer::ToImportedScene3DS(r.scene, r.callbacks, scene);
  ASSERT_EQ(scene.meshes.size(), 2u);
  EXPECT_EQ(scene.meshes[0].faces[5].material, 1);
  EXPECT_EQ(scene.meshes[1].faces[5].material, 0);
  EXPECT_EQ(r.warnings, std::vector<std::string>{std::string(msg::MaterialNotFound) + " other"});
  // The mesh without a node of its name stays where it is.
  EXPECT_EQ(scene.meshes[1].locations[4], (std::array<float, 3>{0, 0, 0}));
  EXPECT_EQ(scene.frameCount, 11);
  EXPECT_EQ(scene.materials[1].diffuse, (std::array<uint8_t, 3>{255, 0, 0}));
  EXPECT_FLOAT_EQ(scene.materials[1].shininess, 0.2f);
}

}  // namespace

namespace {

TEST(Import3DS, NoTextureIsLoadedAfterTheFirstThatFails) {
  const auto folder = std::filesystem::temp_directory_path() / "tds_textures_test";
  std::filesystem::create_directories(folder);
  TextureImage image;
  image.width = image.height = 2;
  image.pixels.assign(12, 200);
  ASSERT_EQ(WriteBmpTexture((folder / "FOUND.BMP").string(), image), 0);
  ImportedScene scene;
  scene.materials.resize(3);
  for (auto& m : scene.materials) m.kind = ImportedMaterial::kTextured;
  scene.materials[0].textureFile = scene.materials[2].textureFile = "FOUND.BMP";
  scene.materials[1].textureFile = "MISSING.BMP";
  std::vector<std::string> errors;
  ImportCallbacks callbacks;
  callbacks.error = [&](const std::string& m) { errors.push_back(m); };
  EXPECT_FALSE(importer::LoadTextures3DS(scene, folder.string() + "/", callbacks));
  EXPECT_TRUE(scene.materials[0].textureLoaded);
  EXPECT_EQ(scene.materials[0].texture.pixels, image.pixels);
  EXPECT_FALSE(scene.materials[1].textureLoaded);
  EXPECT_FALSE(scene.materials[2].textureLoaded);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], scene.materials[1].textureError);
  std::filesystem::remove_all(folder);
}

}  // namespace
