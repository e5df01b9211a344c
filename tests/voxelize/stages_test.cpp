// The stages of the pipeline on grids built by hand or from tiny meshes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "test_meshes.h"
#include "voxelize/generator.h"
#include "voxelize/messages.h"

using namespace voxelize;
using namespace voxtest;

namespace {

// A generator over an empty grid of the given size, voxels placed by hand.
struct HandGrid {
  TestHost host;
  MeshObject mesh;
  ZorvelGenerator g{host, mesh};
  HandGrid(int X, int Y, int Z) {
    g.dims[0] = X, g.dims[1] = Y, g.dims[2] = Z;
    EXPECT_EQ(AllocateVoxelGrid(g), 0);
  }
  Voxel* add(int x, int y, int z, std::array<float, 3> normal = {0, 0, 1}) {
    Voxel* v = g.pool.take();
    *v = Voxel{};
    v->x = int16_t(x), v->y = int16_t(y), v->z = int16_t(z);
    for (int i = 0; i < 3; ++i) v->normal[i] = normal[size_t(i)];
    v->flags = VoxelFlat | VoxelOccupied | VoxelInGrid | VoxelVisible;
    v->next = g.cell(x, y);
    g.cell(x, y) = v;
    ++g.voxelCount;
    return v;
  }
  const Voxel* find(int x, int y, int z) {
    for (const Voxel* v = g.cell(x, y); v; v = v->next)
      if (v->z == z) return v;
    return nullptr;
  }
};

int GridSide(float lo, float hi, float step) {
  TestHost host;
  MeshObject mesh;
  mesh.vertices = {{lo, 0, 0}, {hi, 0, 0}};
  ZorvelGenerator g(host, mesh);
  g.gridStep = step;
  EXPECT_EQ(ChoosePose(g), 0);
  EXPECT_EQ(ChooseGrid(g), 0);
  return g.dims[0];
}

}  // namespace

TEST(Grid, DimensionsAreOddWithAMargin) {
  EXPECT_EQ(GridSide(0.0f, 1.0f, 0.1f), 13);
  EXPECT_EQ(GridSide(0.0f, 1.0f, 0.2f), 9);
  // Halves that rounding makes unequal: 2 + 3 + 3 = 8, made odd.
  TestHost host;
  MeshObject mesh;
  mesh.vertices = {{2.4999999f, 0, 0}, {-2.5000001f, 0, 0}};
  ZorvelGenerator g(host, mesh);
  g.gridStep = 1.0f;
  ASSERT_EQ(ChooseGrid(g), 0);
  EXPECT_EQ(g.dims[0], 9);
}

TEST(Grid, RefusesGridsBeyondTheLimit) {
  TestHost host;
  MeshObject mesh;
  mesh.vertices = {{0, 0, 0}, {5000, 0, 0}};
  ZorvelGenerator g(host, mesh);
  g.gridStep = 1.0f;
  ASSERT_EQ(ChoosePose(g), 0);
  EXPECT_EQ(ChooseGrid(g), -1);
  g.gridStep = 0.0f;
  EXPECT_EQ(ChooseGrid(g), -1);
  EXPECT_EQ(host.errors, (std::vector<std::string>{msg::GridTooLarge, msg::BadGridStep}));
}

TEST(Slicing, MergesSamplesByTheColourRules) {
  // One cell receives, in face order: flat A, flat B (A stays), textured
  // (replaces the flat colour), textured again (averaged), flat (ignored).
  TestHost host(2);
  const int red = host.AddTextured({200, 0, 0});
  const int blue = host.AddTextured({0, 0, 100});
  MeshObject mesh;
  for (int m : {0, 1}) AddPoint(mesh, {0, 0, 0}, m);
  ZorvelGenerator g(host, mesh);
  g.gridStep = 1.0f;
  auto slice = [&] {
    g.freeVoxels();
    return ChoosePose(g) | ChooseGrid(g) | ComputeFaceNormals(g) | TransformToGrid(g) | AllocateVoxelGrid(g) |
           SliceTriangles(g);
  };
  ASSERT_EQ(slice(), 0);
  ASSERT_EQ(g.voxelCount, 1);
  const Voxel* v = g.cell(1, 1);
  EXPECT_TRUE(v->flags & VoxelFlat);
  EXPECT_EQ(v->flatIndex, 0);  // the first flat colour wins
  EXPECT_EQ(v->normal[0] * v->normal[0] + v->normal[1] * v->normal[1] + v->normal[2] * v->normal[2], 0.0f);

  AddPoint(mesh, {0, 0, 0}, red);
  AddPoint(mesh, {0, 0, 0}, blue);
  AddPoint(mesh, {0, 0, 0}, 1);
  ASSERT_EQ(slice(), 0);
  v = g.cell(1, 1);
  EXPECT_FALSE(v->flags & VoxelFlat);
  // Eight red samples (a degenerate face deposits its point three times, then
  // five times more for its one narrow triangle), then eight blue ones.
  ASSERT_NE(v->colour, 0u);
  const ColourSample& c = g.colours.at(v->colour);
  EXPECT_EQ(c.count, 16);
  EXPECT_NEAR(c.rgb[0], 100.0f, 1e-3f);
  EXPECT_NEAR(c.rgb[2], 50.0f, 1e-3f);
}

TEST(Slicing, TriangleLeavesNoHoles) {
  // A large thin triangle: every cell its plane crosses gets a voxel.
  TestHost host;
  MeshObject mesh;
  mesh.vertices = {{0, 0, 0}, {40, 3, 0}, {7, 31, 0}};
  mesh.faces.resize(1);
  mesh.faces[0].v[0] = 0, mesh.faces[0].v[1] = 1, mesh.faces[0].v[2] = 2;
  ZorvelGenerator g(host, mesh);
  g.gridStep = 1.0f;
  ASSERT_EQ(ChoosePose(g) | ChooseGrid(g) | ComputeFaceNormals(g) | TransformToGrid(g) | AllocateVoxelGrid(g) |
                SliceTriangles(g),
            0);
  const int hx = g.dims[0] >> 1, hy = g.dims[1] >> 1;
  // Cell centres well inside the triangle (grid units, centred).
  for (float y = 2; y < 29; y += 1)
    for (float x = 2; x < 38; x += 1) {
      // Distances from the three edges, positive inside.
      const float ab = (40 * y - 3 * x) / 40.1f, bc = (-33 * (y - 3) - 28 * (x - 40)) / 43.3f,
                  ca = (-7 * (y - 31) + 31 * (x - 7)) / 31.8f;
      if (ab < 1.5f || bc < 1.5f || ca < 1.5f) continue;
      const int gx = RoundHalfAway(x - g.centre[0]) + hx, gy = RoundHalfAway(y - g.centre[1]) + hy;
      EXPECT_NE(g.cell(gx, gy), nullptr) << x << "," << y;
    }
}

TEST(Thinning, KeepsSheetsAndRemovesInnerCorners) {
  HandGrid h(6, 6, 6);
  for (int y = 1; y <= 3; ++y)
    for (int x = 1; x <= 3; ++x) h.add(x, y, 1);  // a sheet at z = 1
  h.add(2, 2, 2);                                // sits on the sheet's middle
  h.add(4, 4, 4), h.add(3, 4, 4), h.add(4, 3, 4), h.add(4, 4, 3);  // corner (4, 4, 4)
  ASSERT_EQ(ThinVoxels(h.g), 0);
  EXPECT_EQ(h.find(4, 4, 4), nullptr);
  EXPECT_NE(h.find(3, 4, 4), nullptr);
  EXPECT_NE(h.find(2, 1, 1), nullptr);
  EXPECT_EQ(h.find(2, 2, 1), nullptr);  // two x, two y and one z neighbour
  EXPECT_EQ(h.g.voxelCount, 12);
}

TEST(Smoothing, WeightTables) {
  HandGrid h(3, 3, 3);
  h.g.smoothing = 2;
  BuildWeightTable(h.g);
  ASSERT_EQ(h.g.weightCount, 5);
  EXPECT_EQ(h.g.radius, 1);
  EXPECT_FLOAT_EQ(h.g.weights[4], std::exp(-4.0f));
  h.g.smoothing = 0;
  BuildWeightTable(h.g);
  EXPECT_EQ(h.g.weightCount, 1);
  EXPECT_EQ(h.g.radius, 0);
  h.g.smoothing = 3;  // c = 2.25: e^(-i/2.25) >= 0.01 for i <= 10
  BuildWeightTable(h.g);
  EXPECT_EQ(h.g.weightCount, 11);
  EXPECT_EQ(h.g.radius, 1);
  h.g.smoothing = 9;
  BuildWeightTable(h.g);
  EXPECT_EQ(h.g.weightCount, 75);
  EXPECT_EQ(h.g.radius, 5);
}

TEST(Smoothing, BlendsNeighboursOnlyWhenAsked) {
  for (int s : {0, 2}) {
    HandGrid h(5, 5, 5);
    h.g.smoothing = s;
    Voxel* a = h.add(1, 2, 2, {0, 0, 2});
    Voxel* b = h.add(2, 2, 2, {3, 0, 0});
    ASSERT_EQ(SmoothNormals(h.g), 0);
    if (s == 0) {
      EXPECT_FLOAT_EQ(a->normal[2], 1.0f);
      EXPECT_FLOAT_EQ(b->normal[0], 1.0f);
    } else {
      // Each is its own unit normal plus e^-1 of the other's, normalised.
      const float w = std::exp(-1.0f), l = std::sqrt(1 + w * w);
      EXPECT_NEAR(a->normal[2], 1 / l, 1e-6f);
      EXPECT_NEAR(a->normal[0], w / l, 1e-6f);
    }
  }
}

TEST(Division, LongSlabIsHalvedOnce) {
  HandGrid h(303, 12, 12);
  for (int x = 1; x <= 300; ++x)
    for (int y = 1; y <= 10; ++y)
      for (int z = 1; z <= 10; ++z) h.add(x, y, z);
  ASSERT_EQ(ChooseDivisionBox(h.g), 0);
  EXPECT_EQ(h.g.box.min[0], 1);
  EXPECT_EQ(h.g.box.max[0], 150);
  EXPECT_EQ(h.g.box.max[1] - h.g.box.min[1] + 1, 10);
  EXPECT_TRUE(h.find(150, 5, 5)->flags & VoxelMarked);
  EXPECT_FALSE(h.find(151, 5, 5)->flags & VoxelMarked);
}

TEST(Chains, RowAlongXAndTwoBlobs) {
  {
    HandGrid h(8, 3, 3);
    for (int x = 1; x <= 5; ++x) h.add(x, 1, 1);
    ASSERT_EQ(BuildObject(h.g), 0);
    const std::vector<uint8_t>& part = h.g.part;
    ASSERT_EQ(part.size(), size_t(42 + 5 * 3 + 4 + 1));
    EXPECT_EQ(VoxMoveCodeOf(&part[42]), 4);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(VoxMoveCodeOf(&part[size_t(42 + 3 * i)]), 21);
  }
  {
    HandGrid h(10, 10, 3);
    h.add(1, 1, 1), h.add(2, 1, 1);  // found first
    h.add(7, 7, 1);                  // built last, stored first
    ASSERT_EQ(BuildObject(h.g), 0);
    std::vector<VoxPartView> parts;
    ASSERT_TRUE(VoxListParts(h.g.part.data(), h.g.part.size(), parts));
    EXPECT_EQ(parts[0].head.kind, VoxKindComplex);
    VoxChainCursor cursor(parts[0]);
    VoxChainView chain;
    ASSERT_TRUE(cursor.next(chain));
    EXPECT_EQ(chain.count, 1);
    EXPECT_EQ(parts[0].head.start[0], 7 + 1 - 5);
    ASSERT_TRUE(cursor.next(chain));
    EXPECT_EQ(chain.count, 2);
  }
}

TEST(Chains, BridgingFillsGapsBetweenNeighbours) {
  // An L whose corner is found last: forward growth from (1,1) runs along
  // x, backward finds nothing, bridging puts the remaining voxels between
  // neighbours so every voxel lands in one chain.
  HandGrid h(8, 8, 3);
  for (int x = 1; x <= 4; ++x) h.add(x, 1, 1);
  h.add(2, 2, 1), h.add(3, 2, 1);
  ASSERT_EQ(BuildObject(h.g), 0);
  std::vector<VoxPartView> parts;
  ASSERT_TRUE(VoxListParts(h.g.part.data(), h.g.part.size(), parts));
  EXPECT_EQ(parts[0].head.pixelCount, 6);
  EXPECT_EQ(parts[0].head.kind, 0);  // one chain
}

TEST(Chains, AuthoringLayoutStopsAt1024Chains) {
  HandGrid h(70, 70, 3);
  for (int i = 0; i < 1025; ++i) h.add(1 + 2 * (i % 34), 1 + 2 * (i / 34), 1);
  h.g.layout = PartLayout::Authoring;
  EXPECT_EQ(BuildObject(h.g), -1);
  EXPECT_EQ(h.host.errors.back(), msg::TooManyChains);
}

namespace {

// A texture that shows its coordinates: red = u, green = v.
class UvTexture : public Material {
 public:
  UvTexture() { kind = uint8_t(MaterialKind::Textured); }
  void SampleColour(const float*, const float* uvw, uint8_t rgb[3]) const override {
    rgb[0] = uint8_t(std::clamp(uvw[0], 0.0f, 1.0f) * 255.0f);
    rgb[1] = uint8_t(std::clamp(uvw[1], 0.0f, 1.0f) * 255.0f);
    rgb[2] = 0;
  }
};

}  // namespace

TEST(Slicing, TexturedSamplesInterpolateTheCorners) {
  TestHost host(0);
  host.AddMaterial(std::make_unique<UvTexture>());
  MeshObject mesh;
  mesh.vertices = {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}};
  mesh.textureVertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  mesh.faces.resize(1);
  mesh.faces[0].v[0] = 0, mesh.faces[0].v[1] = 1, mesh.faces[0].v[2] = 2;
  mesh.textureFaces = {{0, 1, 2}};
  ZorvelGenerator g(host, mesh);
  g.gridStep = 1.0f;
  ASSERT_EQ(ChoosePose(g) | ChooseGrid(g) | ComputeFaceNormals(g) | TransformToGrid(g) | AllocateVoxelGrid(g) |
                SliceTriangles(g),
            0);
  auto colour = [&](int x, int y) {
    const Voxel* v = g.cell(x, y);
    EXPECT_NE(v, nullptr);
    return v ? g.colours.at(v->colour) : ColourSample{};
  };
  const ColourSample a = colour(1, 1), b = colour(21, 1), c = colour(1, 21), middle = colour(11, 1);
  EXPECT_LT(a.rgb[0], 15.0f);
  EXPECT_LT(a.rgb[1], 15.0f);
  EXPECT_GT(b.rgb[0], 240.0f);
  EXPECT_LT(b.rgb[1], 15.0f);
  EXPECT_GT(c.rgb[1], 240.0f);
  EXPECT_LT(c.rgb[0], 15.0f);
  EXPECT_NEAR(middle.rgb[0], 127.0f, 15.0f);
}
