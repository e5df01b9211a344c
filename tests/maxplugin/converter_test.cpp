#include "maxplugin/converter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "maxplugin/contents.h"
#include "maxplugin/frame_range.h"
#include "maxplugin/messages.h"
#include "scene_builder.h"

using namespace zvlplay;
using maxhost::HostNode;

namespace {

struct Fixture {
  maxhost::HostInterface ip;
  ZvlPlayConverter converter{ip};
  HostNode& root() { return *ip.Scene().root; }
  Fixture() {
    converter.options.contents = kContentsGeometry | kContentsAnimation;
    converter.options.frames = {0};
    converter.options.lod = PanelLodParameters(0.1f, 1, 0);
  }
  // Collects, builds the table and gets every object; the last error or "".
  std::string Prepare() {
    converter.lastError.clear();
    if (converter.CollectNodes() != 0 || converter.BuildMaterialTable() != 0) return converter.lastError;
    for (int i = 0; i < int(converter.Nodes().size()); ++i) {
      MeshObject* object = converter.GetObject(i);
      if (!object) return converter.lastError;
      converter.ReleaseObject(object);
    }
    return "";
  }
};

std::string WithName(const char* message, const char* name) { return std::string(message) + " " + name; }

}  // namespace

TEST(ConverterMaterials, MultiMaterialUsingOneSubMaterialAddsOneRecord) {
  Fixture f;
  HostNode& node = testscene::AddBox(f.root(), "Box");
  for (Face& face : std::static_pointer_cast<maxhost::GeomObject>(node.object)->mesh.faces) face.mtlIndex = 0;
  auto multi = std::make_shared<MultiMtl>();
  multi->subMtls = {testscene::Standard("A", 1, 0, 0), testscene::Standard("B", 0, 1, 0)};
  node.material = multi;
  ASSERT_EQ(f.Prepare(), "");
  ASSERT_EQ(f.converter.MaterialTable().size(), 1u);
  EXPECT_EQ(f.converter.MaterialTable()[0]->name, "A");
  EXPECT_EQ(f.converter.materialCount, 1);
}

TEST(ConverterMaterials, FaceNumbersTakenModuloTheSubMaterialCount) {
  Fixture f;
  HostNode& node = testscene::AddBox(f.root(), "Box");  // face numbers 0 .. 11
  auto multi = std::make_shared<MultiMtl>();
  multi->subMtls = {testscene::Standard("A", 1, 0, 0), testscene::Standard("B", 0, 1, 0), testscene::Standard("C", 0, 0, 1)};
  node.material = multi;
  ASSERT_EQ(f.converter.CollectNodes(), 0);
  ASSERT_EQ(f.converter.BuildMaterialTable(), 0);
  MeshObject* object = f.converter.GetObject(0);
  ASSERT_NE(object, nullptr);
  const auto& table = f.converter.MaterialTable();
  ASSERT_EQ(table.size(), 3u);
  for (int i = 0; i < object->FaceCount(); ++i)
    EXPECT_EQ(table[size_t(object->faces[size_t(i)].material)]->name, std::string(1, char('A' + i % 3))) << i;
  f.converter.ReleaseObject(object);
}

TEST(ConverterMaterials, SharedWireColoursStandardsAndRefusals) {
  Fixture f;
  HostNode& a = testscene::AddBox(f.root(), "A");
  HostNode& b = testscene::AddBox(f.root(), "B");
  HostNode& c = testscene::AddBox(f.root(), "C");
  a.wireColor = b.wireColor = 0x00102030;
  c.material = testscene::Standard("Steel", 0.5f, 0.5f, 0.5f);
  ASSERT_EQ(f.Prepare(), "");
  const auto& table = f.converter.MaterialTable();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_TRUE(table[0]->IsFlat());
  EXPECT_EQ(table[0]->diffuse[0], 0x30);
  EXPECT_EQ(table[0]->diffuse[2], 0x10);
  EXPECT_EQ(table[1]->name, "Steel");

  // A sub-material that is itself a multi-material is refused.
  auto nested = std::make_shared<MultiMtl>();
  nested->name = "Outer";
  nested->subMtls = {std::make_shared<MultiMtl>()};
  c.material = nested;
  EXPECT_EQ(f.Prepare(), msg::TooComplexMaterial);
}

TEST(ConverterMaterials, TexturedRecordsSampleTheHostMap) {
  struct Stripes : Texmap {
    AColor EvalColor(ShadeContext& sc) override { return {sc.uvw.x, sc.uvw.y, 2.0f, 1}; }
  };
  Fixture f;
  HostNode& node = testscene::AddBox(f.root(), "Box");
  auto mat = testscene::Standard("Tex", 1, 1, 1);
  mat->diffuseMap = std::make_shared<Stripes>();
  node.material = mat;
  ASSERT_EQ(f.Prepare(), "");
  Material* record = f.converter.GetMaterial(0);
  ASSERT_TRUE(record && record->IsTextured());
  ASSERT_EQ(record->PrepareTexture(), 0);
  const float weights[3] = {1, 0, 0}, uvw[3] = {0.5f, 0.25f, 0};
  uint8_t rgb[3];
  record->SampleColour(weights, uvw, rgb);
  EXPECT_EQ(rgb[0], 127);
  EXPECT_EQ(rgb[1], 63);
  EXPECT_EQ(rgb[2], 255);  // above 1 is held at 255
}

TEST(ConverterFixPoints, NumbersMustRunWithoutGapsOrRepeats) {
  {
    Fixture f;
    HostNode& box = testscene::AddBox(f.root(), "Box", {10, 0, 0});
    testscene::AddHelper(box, "Box_FIXPOINT_1", {0, 2, 0});
    testscene::AddHelper(box, "Box_FIXPOINT_0", {1, 0, 0});
    testscene::AddHelper(box, "Other", {5, 5, 5});
    ASSERT_EQ(f.converter.CollectNodes(), 0);
    ASSERT_EQ(f.converter.BuildMaterialTable(), 0);
    MeshObject* object = f.converter.GetObject(0);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->FixPointCount(), 2);
    EXPECT_EQ(object->fixPoints[0], (std::array<float, 3>{1, 0, 0}));  // in the box's own space
    EXPECT_EQ(object->fixPoints[1], (std::array<float, 3>{0, 2, 0}));
    f.converter.ReleaseObject(object);
  }
  {
    Fixture f;
    HostNode& box = testscene::AddBox(f.root(), "Box");
    testscene::AddHelper(box, "Box_FIXPOINT_0", {});
    testscene::AddHelper(box, "Box_FIXPOINT_2", {});
    EXPECT_EQ(f.Prepare(), WithName(msg::WrongFixpointSequence, "Box"));  // no 1
  }
  {
    Fixture f;
    HostNode& box = testscene::AddBox(f.root(), "Box");
    testscene::AddHelper(box, "Box_FIXPOINT_0", {});
    testscene::AddHelper(box, "Box_FIXPOINT_2", {});
    testscene::AddHelper(box, "Box_FIXPOINT_", {});
    EXPECT_EQ(f.Prepare(), WithName(msg::InvalidFixpointNumber, "Box"));  // no number at all
  }
  {
    Fixture f;
    HostNode& box = testscene::AddBox(f.root(), "Box");
    testscene::AddHelper(box, "Box_FIXPOINT_0", {});
    testscene::AddHelper(box, "Box_FIXPOINT_0", {});
    EXPECT_EQ(f.Prepare(), WithName(msg::InvalidFixpointNumber, "Box"));
  }
}

TEST(ConverterNodes, HiddenAndSelectedFiltering) {
  Fixture f;
  HostNode& a = testscene::AddBox(f.root(), "A");
  HostNode& b = testscene::AddBox(a, "B");
  testscene::AddBox(f.root(), "C");
  testscene::AddHelper(f.root(), "Helper", {});
  b.hidden = true;
  ASSERT_EQ(f.converter.CollectNodes(), 0);
  ASSERT_EQ(f.converter.Nodes().size(), 2u);
  EXPECT_STREQ(f.converter.Nodes()[1]->GetName(), "C");

  f.converter.options.contents |= kContentsUseHidden;
  ASSERT_EQ(f.converter.CollectNodes(), 0);
  ASSERT_EQ(f.converter.Nodes().size(), 3u);
  EXPECT_STREQ(f.converter.Nodes()[1]->GetName(), "B");  // depth first, host order
  EXPECT_EQ(f.converter.FindNodeByName("C"), 2);
  EXPECT_EQ(f.converter.FindNodeByName("c"), -1);

  f.converter.options.contents |= kContentsSelectedOnly;
  EXPECT_EQ(f.converter.CollectNodes(), -1);
  EXPECT_EQ(f.converter.lastError, msg::NoObjectsToZorvelate);
  b.selected = true;
  ASSERT_EQ(f.converter.CollectNodes(), 0);
  EXPECT_EQ(f.converter.Nodes().size(), 1u);
}

TEST(ConverterObjects, MotionOverARangeWithAStepAndTheHierarchy) {
  Fixture f;
  HostNode& a = testscene::AddBox(f.root(), "A");
  testscene::AddBox(a, "B", {0, 3, 0});
  const int tpf = f.ip.GetTicksPerFrame();
  a.track.positions = {{0, Point3(0, 0, 0)}, {10 * tpf, Point3(10, 0, 0)}};
  // A quarter turn about z over ten frames.
  a.track.rotations = {{0, maxhost::Quat{}}, {10 * tpf, maxhost::Quat{0, 0, std::sqrt(0.5f), std::sqrt(0.5f)}}};
  f.converter.options.frames = FrameRange::FromRange(0, 10, 0, 10, 5).Frames();
  ASSERT_EQ(f.converter.options.frames, (std::vector<int>{0, 5, 10}));
  f.converter.conversionFlags = kFlagAnimation | kFlagHierarchy;
  ASSERT_EQ(f.converter.CollectNodes(), 0);
  ASSERT_EQ(f.converter.BuildMaterialTable(), 0);
  MeshObject* oa = f.converter.GetObject(0);
  MeshObject* ob = f.converter.GetObject(1);
  ASSERT_TRUE(oa && ob);
  ASSERT_EQ(oa->locations.size(), 3u);
  EXPECT_FLOAT_EQ(oa->locations[1][0], 5);
  EXPECT_EQ(oa->parent, -1);
  EXPECT_EQ(ob->parent, 0);
  // At frame 10 A has turned a quarter: B's location (0, 3) in A becomes (-3, 0) + (10, 0).
  EXPECT_NEAR(ob->locations[2][0], 7, 1e-4);
  EXPECT_NEAR(ob->locations[2][1], 0, 1e-4);
  // Stored matrices are the host's rows as columns: x goes to y.
  const auto& m = oa->matrices[2];
  EXPECT_NEAR(m[0], 0, 1e-5);  // row 0 of stored = (x of host rows)
  EXPECT_NEAR(m[3], 1, 1e-5);  // host row 0 = (0, 1, 0) is stored column 0
  EXPECT_EQ(oa->frameFlags, (std::vector<uint8_t>{0, 0, 0}));
  f.converter.ReleaseObject(oa);
  f.converter.ReleaseObject(ob);
}

TEST(ConverterObjects, BadMeshesAreRefusedWithTheNodeName) {
  auto refusal = [](auto spoil) {
    Fixture f;
    HostNode& node = testscene::AddBox(f.root(), "Box");
    spoil(std::static_pointer_cast<maxhost::GeomObject>(node.object)->mesh);
    return f.Prepare();
  };
  EXPECT_EQ(refusal([](Mesh& m) { m.faces.clear(); }), WithName(msg::NoFaces, "Box"));
  EXPECT_EQ(refusal([](Mesh& m) { m.verts.clear(); }), WithName(msg::NoVertices, "Box"));
  EXPECT_EQ(refusal([](Mesh& m) { m.verts[3].y = std::nanf(""); }), WithName(msg::InvalidVertices, "Box"));
  EXPECT_EQ(refusal([](Mesh& m) { m.faces[5].v[1] = 8; }), WithName(msg::InvalidFaces, "Box"));
  EXPECT_EQ(refusal([](Mesh& m) { m.tVerts.resize(3); }), WithName(msg::InvalidTextureFaces, "Box"));
}
