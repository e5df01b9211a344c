#include "maxhost/scene_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "maxplugin/contents.h"
#include "maxplugin/converter.h"
#include "maxplugin/frame_range.h"
#include "maxplugin/messages.h"
#include "maxhost/messages.h"

using maxhost::HostNode;

namespace {

HostNode* Find(HostNode& node, const std::string& name) {
  if (node.name == name) return &node;
  for (auto& child : node.children)
    if (HostNode* found = Find(*child, name)) return found;
  return nullptr;
}

}  // namespace

TEST(SceneLoader, GltfSampleGivesTreeMaterialsAndAnimation) {
  maxhost::SceneContents scene;
  std::string error;
  ASSERT_TRUE(maxhost::LoadScene(MAXHOST_SAMPLE, scene, error)) << error;
  EXPECT_TRUE(scene.warnings.empty());
  EXPECT_EQ(scene.ticksPerFrame, 160);
  EXPECT_EQ(scene.animRange.start, 0);
  EXPECT_EQ(scene.animRange.end, 30 * 160);  // one second

  HostNode* base = Find(*scene.root, "Base");
  HostNode* arm = Find(*scene.root, "Arm");
  HostNode* fix = Find(*scene.root, "Arm_FIXPOINT_0");
  ASSERT_TRUE(base && arm && fix);
  EXPECT_EQ(arm->parent, base);
  EXPECT_EQ(fix->EvalWorldState(0).obj->SuperClassID(), kHelperClassID);
  EXPECT_EQ(fix->EvalWorldState(0).obj->ClassID().PartA(), kPointHelperClassID);

  // The arm's two primitives make one mesh under a multi-material.
  ASSERT_TRUE(arm->GetMtl());
  ASSERT_EQ(arm->GetMtl()->ClassID().PartA(), kMultiMtlClassID);
  ASSERT_EQ(arm->GetMtl()->NumSubMtls(), 2);
  auto* checker = static_cast<StdMat*>(arm->GetMtl()->GetSubMtl(0));
  ASSERT_NE(checker->GetDiffuseMap(), nullptr);
  ShadeContext sc;
  sc.uvw = Point3(0.01f, 0.99f, 0);  // top left texel of the picture: yellow
  const AColor c = checker->GetDiffuseMap()->EvalColor(sc);
  EXPECT_NEAR(c.r, 240 / 255.0, 1e-3);
  sc.uvw = Point3(1.13f, 0.99f, 0);  // wraps to the second texel: blue
  EXPECT_NEAR(checker->GetDiffuseMap()->EvalColor(sc).b, 220 / 255.0, 1e-3);
  EXPECT_EQ(arm->GetMtl()->GetSubMtl(1), base->GetMtl());
  Mesh* mesh = nullptr;
  bool release = false;
  mesh = arm->EvalWorldState(0).obj->ConvertToTriMesh(0, release);
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->getNumFaces(), 12);
  EXPECT_EQ(mesh->tVerts.size(), size_t(mesh->getNumVerts()));
  EXPECT_EQ(mesh->tvFaces.size(), 12u);

  // Keys: the base slides to x = 2 at half a second; the arm swings 30
  // degrees about z at a quarter.
  EXPECT_NEAR(base->GetNodeTM(15 * 160).GetTrans().x, 2, 1e-4);
  EXPECT_NEAR(base->GetNodeTM(600).GetTrans().x, 0.5, 1e-4);  // linear between keys
  const Matrix3 armAt = arm->LocalTM(1200);
  EXPECT_NEAR(armAt.GetRow(0).y, std::sin(3.14159265 / 6), 1e-4);
  EXPECT_NEAR(fix->GetNodeTM(0).GetTrans().y, 2.5, 1e-4);
}

TEST(SceneLoader, FailuresCarryAssimpsMessage) {
  maxhost::SceneContents scene;
  std::string error;
  EXPECT_FALSE(maxhost::LoadScene("/nonexistent/scene.gltf", scene, error));
  EXPECT_FALSE(error.empty());
  const auto bad = std::filesystem::temp_directory_path() / "maxhost_bad.gltf";
  std::ofstream(bad) << "{\"asset\": {\"version\": \"2.0\"}, \"nodes\": [{\"mesh\": 7}]";
  error.clear();
  EXPECT_FALSE(maxhost::LoadScene(bad.string(), scene, error));
  EXPECT_FALSE(error.empty());
  std::filesystem::remove(bad);
}

TEST(SceneLoader, SampleGivesTheConverterObjectsFramesFixPointsAndParents) {
  maxhost::HostInterface ip(maxhost::LoadScene);
  ASSERT_TRUE(ip.LoadFromFile(MAXHOST_SAMPLE)) << ip.LastLoadError();
  zvlplay::ZvlPlayConverter converter(ip);
  converter.options.contents = zvlplay::kContentsGeometry | zvlplay::kContentsAnimation | zvlplay::kContentsHierarchy;
  converter.options.frames = zvlplay::FrameRange::FromRange(0, 30, 0, 30, 10).Frames();
  converter.conversionFlags = zvlplay::ConverterFlags(converter.options.contents, false);
  ASSERT_EQ(converter.CollectNodes(), 0);
  ASSERT_EQ(converter.Nodes().size(), 2u);
  ASSERT_EQ(converter.BuildMaterialTable(), 0);
  ASSERT_EQ(converter.MaterialTable().size(), 2u);  // Red shared by both, Checker
  MeshObject* base = converter.GetObject(0);
  MeshObject* arm = converter.GetObject(1);
  ASSERT_TRUE(base && arm);
  EXPECT_EQ(base->name, "Base");
  EXPECT_EQ(base->parent, -1);
  EXPECT_EQ(arm->parent, 0);
  EXPECT_EQ(base->FixPointCount(), 0);
  ASSERT_EQ(arm->FixPointCount(), 1);
  EXPECT_NEAR(arm->fixPoints[0][1], 2, 1e-5);
  ASSERT_EQ(arm->locations.size(), 4u);  // frames 0, 10, 20, 30
  EXPECT_NEAR(arm->locations[2][0], 1 + 1 / 3.0, 1e-3);
  EXPECT_EQ(arm->TextureFaceCount(), arm->FaceCount());
  converter.ReleaseObject(base);
  converter.ReleaseObject(arm);
}

TEST(SceneLoader, NodesWithFacesThatAreNotTrianglesAreRefused) {
  const auto path = std::filesystem::temp_directory_path() / "maxhost_lines.obj";
  std::ofstream(path) << "o Wire\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nl 1 2\n";
  maxhost::HostInterface ip(maxhost::LoadScene);
  ASSERT_TRUE(ip.LoadFromFile(path.string().c_str())) << ip.LastLoadError();
  std::filesystem::remove(path);
  ASSERT_FALSE(ip.Scene().warnings.empty());
  EXPECT_NE(ip.Scene().warnings[0].find(maxhost::msg::FaceNotTriangle), std::string::npos);
  zvlplay::ZvlPlayConverter converter(ip);
  ASSERT_EQ(converter.CollectNodes(), 0);
  EXPECT_EQ(converter.BuildMaterialTable(), 0);
  EXPECT_EQ(converter.GetObject(0), nullptr);
  EXPECT_EQ(converter.lastError.rfind(zvlplay::msg::CantGetMesh, 0), 0u);
}
