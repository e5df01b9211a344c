// The pose and placement of a sprite, whole scenes into a database, the OBJ
// reader, and the chief header's usage example.
#include <gtest/gtest.h>

#include <cmath>

#include "palette/palette.h"
#include "test_meshes.h"
#include "voxelize/matrix3.h"
#include "zvlfile/database.h"

using namespace voxtest;

namespace {

std::array<float, 3> Apply(const std::array<float, 9>& m, const std::array<float, 3>& v) {
  return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
          m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

// R_f applied to the posed vertex (U v - c), plus the location, must land
// where the frame's own matrix and location put v.
void ExpectPlacementReproducesFrames(const MeshObject& mesh, const MeshPose& pose, int frames) {
  ObjectPlacement placement;
  ComputePlacement(mesh, pose, frames, placement);
  ASSERT_EQ(placement.matrices.size(), size_t(frames));
  for (int f = 0; f < frames; ++f)
    for (const auto& v : mesh.vertices) {
      auto posed = Apply(pose.matrix, v);
      for (int i = 0; i < 3; ++i) posed[size_t(i)] -= pose.centre[size_t(i)];
      const auto placed = Apply(placement.matrices[size_t(f)], posed);
      const auto wanted = Apply(mesh.matrices[size_t(f)], v);
      for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(placed[size_t(i)] + placement.locations[size_t(f)][size_t(i)],
                    wanted[size_t(i)] + mesh.locations[size_t(f)][size_t(i)], 1e-3f);
    }
}

}  // namespace

TEST(Pose, StretchOfFrameZeroAndItsPlacement) {
  // Frame 0: a rotation by 90 degrees about z after a stretch of 2 along x.
  MeshObject mesh;
  AddBox(mesh, {1, 2, 3}, {4, 6, 5});
  mesh.matrices = {{0, -1, 0, 2, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 1, 0, 0, 0, 1}};
  mesh.locations = {{5, 6, 7}, {-1, 0, 1}};
  mesh.pivot = {1, 1, 1};
  TestHost host;
  MeshPose pose;
  ASSERT_EQ(ComputeMeshPose(host, mesh, pose), 0);
  const std::array<float, 9> stretch = {2, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(pose.matrix[size_t(i)], stretch[size_t(i)], 1e-5f);
  EXPECT_NEAR(pose.centre[0], 5.0f, 1e-5f);  // box of 2x: 2..8
  ExpectPlacementReproducesFrames(mesh, pose, 2);

  ObjectPlacement placement;
  ComputePlacement(mesh, pose, 1, placement);
  EXPECT_NEAR(placement.pivot[0], 2.0f - 5.0f, 1e-5f);  // U P - c

  // The current frame's matrix is taken as it is.
  host.conversionFlags = kFlagCurrentFrame;
  host.currentFrame = 0;
  ASSERT_EQ(ComputeMeshPose(host, mesh, pose), 0);
  EXPECT_EQ(pose.matrix, mesh.matrices[0]);
  ExpectPlacementReproducesFrames(mesh, pose, 2);
}

TEST(Pose, SingularMatricesStayFinite) {
  // Flattened along one axis (rank 2) and along two (rank 1).
  for (const std::array<float, 9>& m : {std::array<float, 9>{0, -1, 0, 1, 0, 0, 0, 0, 0},
                                        std::array<float, 9>{0, 0, 0, 0, 3, 0, 0, 0, 0}}) {
    voxelize::Matrix3 q, s;
    voxelize::PolarDecompose(m, q, s);
    const voxelize::Matrix3 qtq = voxelize::Multiply(voxelize::Transpose(q), q);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(qtq[size_t(i)], voxelize::Identity3[size_t(i)], 1e-5f);
    const voxelize::Matrix3 qs = voxelize::Multiply(q, s);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(qs[size_t(i)], m[size_t(i)], 1e-5f);

    MeshObject mesh;
    AddBox(mesh, {0, 0, 0}, {2, 2, 2});
    mesh.matrices = {m};
    mesh.locations = {{0, 0, 0}};
    TestHost host;
    MeshPose pose;
    ASSERT_EQ(ComputeMeshPose(host, mesh, pose), 0);
    ExpectPlacementReproducesFrames(mesh, pose, 1);
  }
}

TEST(Scene, ConvertFillsTheDatabase) {
  TestHost host(0);
  PaletteSettings none;
  MeshObject a, b;
  AddBox(a, {0, 0, 0}, {6, 6, 6});
  AddPoint(b, {1, 1, 1});
  a = Prepared(a, 1.0f, 2);
  b = Prepared(b, 0.5f);
  a.name = "a";
  b.name = "b";
  b.parent = 0;
  for (MeshObject* m : {&a, &b}) {
    m->matrices.push_back(m->matrices[0]);
    m->locations.push_back({0, 0, 1});
    m->frameFlags.push_back(0);
  }
  auto flat = std::make_unique<Material>();
  flat->kind = uint8_t(MaterialKind::Flat);
  flat->diffuse[0] = 200;
  host.AddMaterial(std::move(flat));
  host.AddObject(a);
  host.AddObject(b);
  host.frameCount = 2;
  host.conversionFlags = kFlagGeometry | kFlagAnimation | kFlagHierarchy | kFlagColorTable16 | kFlagStreamable;
  ZvlDatabasePtr db(ZvlCreateDatabase(0));
  ASSERT_EQ(host.Convert(*db), 0) << (host.errors.empty() ? "" : host.errors[0]);
  EXPECT_EQ(db->objectCount, 2);
  EXPECT_EQ(db->frameCount, 2);
  EXPECT_EQ(db->flags, ZvlStreamable);
  EXPECT_STREQ(db->objectNames[1], "b");
  ASSERT_NE(db->geometry, nullptr);
  EXPECT_TRUE(VoxCheckObject(db->geometry[0].voxObject, size_t(db->geometry[0].totalSize)));
  EXPECT_EQ(db->geometry[1].totalSize, 50);
  ASSERT_NE(db->animation, nullptr);
  EXPECT_FLOAT_EQ(db->animation[0].locations[3 + 2], 3.0f + 1.0f);  // R c + T in frame 1
  ASSERT_NE(db->links, nullptr);
  EXPECT_EQ(db->links[1].parents[0], 0);
  EXPECT_NE(db->colorTable, nullptr);
  EXPECT_EQ(db->palette, nullptr);
  EXPECT_EQ(host.materialsOut, 0);
  EXPECT_EQ(host.objectsOut, 0);
}

TEST(ObjReader, IndexFormsFansAndErrors) {
  MeshObject mesh;
  std::string error;
  ASSERT_TRUE(ReadObjMesh("# comment\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nv 0 1 -1e-1\n"
                          "f 1/1/1 2//1 3/1 -1\ng group\nf -4 -3 -2\n",
                          mesh, error))
      << error;
  ASSERT_EQ(mesh.vertices.size(), 4u);
  EXPECT_FLOAT_EQ(mesh.vertices[3][2], -0.1f);
  ASSERT_EQ(mesh.faces.size(), 3u);
  EXPECT_EQ(mesh.faces[1].v[0], 0);
  EXPECT_EQ(mesh.faces[1].v[1], 2);
  EXPECT_EQ(mesh.faces[1].v[2], 3);
  EXPECT_EQ(mesh.faces[2].v[2], 2);
  for (const char* bad : {"v 1 2\n", "v 1 2 x\n", "v 0 0 0\nf 1 0 1\n", "v 0 0 0\nf 1 1\n", "f 1/2 a 3\n"}) {
    MeshObject m;
    EXPECT_FALSE(ReadObjMesh(bad, m, error)) << bad;
    EXPECT_EQ(error.rfind("line ", 0), 0u);
  }
}

TEST(ObjReader, ConcaveFacesAreSplitInsideTheirOutlineAndFlatOnesDropped) {
  MeshObject mesh;
  std::string error;
  // An arrowhead (its fan would cover the notch and wind one triangle
  // backwards), a quad with a corner on a straight edge, a quad on a line.
  ASSERT_TRUE(ReadObjMesh("v 0 0 0\nv 2 1 0\nv 0 2 0\nv 1 1 0\nf 1 2 3 4\n"
                          "v 3 0 0\nv 4 0 0\nf 1 5 6 2\nf 1 5 6 5\n",
                          mesh, error))
      << error;
  ASSERT_EQ(mesh.faces.size(), 3u);  // two, one, none
  double area = 0;
  for (size_t f = 0; f < 3; ++f) {
    const auto& a = mesh.vertices[size_t(mesh.faces[f].v[0])];
    const auto& b = mesh.vertices[size_t(mesh.faces[f].v[1])];
    const auto& c = mesh.vertices[size_t(mesh.faces[f].v[2])];
    const double doubled = double(b[0] - a[0]) * (c[1] - a[1]) - double(b[1] - a[1]) * (c[0] - a[0]);
    EXPECT_GT(doubled, 0) << f;
    if (f < 2) area += doubled / 2;
  }
  EXPECT_DOUBLE_EQ(area, 1.0);
}

TEST(Manual, UsageExample) {
  MemoryConversionHost host;
  auto flat = std::make_unique<Material>();
  host.AddMaterial(std::move(flat));
  MeshObject mesh;
  AddBox(mesh, {0, 0, 0}, {1, 1, 1});
  mesh.gridSteps = {0.1f, 0.15f};
  mesh.smoothing = {2, 2};
  mesh.matrices = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
  mesh.locations = {{0, 0, 0}};
  mesh.frameFlags = {0};
  host.AddObject(mesh);
  PaletteSettings settings;
  ASSERT_EQ(PreparePalette(host, settings), 0);
  ZorvelizedObject result;
  ASSERT_EQ(ZorvelizeObject(host, *host.objects[0], {}, result), 0);
  ReleaseMaterials(host);
  std::vector<VoxPartView> parts;
  ASSERT_TRUE(VoxListParts(result.voxObject.data(), result.voxObject.size(), parts));
  EXPECT_EQ(parts.size(), 2u);
}
