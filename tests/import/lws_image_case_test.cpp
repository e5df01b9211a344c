// LightWave image maps named in another letter case than the file, and
// pictures found by their content whatever their extension says.
#include "import/lws_import.h"
#include "palette/palette.h"
#include "tests/import/lws_writers.h"

#include <gtest/gtest.h>

namespace {

TEST(LwsImageCase, AnImageNamedInUpperCaseIsFoundAndReadByItsContent) {
  MemoryFileSource files;
  lwstest::Lwob cube = lwstest::Cube(0, 0, 0, "Wall");
  lwstest::Texture map;
  map.image = "C:\\maps\\CWALL02.JPG";
  cube.surfaces[0].textures = {map};
  files.files["/s/cube.lwo"] = lwstest::WriteLwob(cube);
  TextureImage image;
  image.width = 1;
  image.height = 2;
  image.pixels = {10, 20, 30, 40, 50, 60};
  files.files["/s/CWALL02.jpg"] = EncodeBmpTexture(image);  // a BMP, whatever its name says
  files.files["/s/cwall02.jpg"] = {};                       // later in sorted order
  files.Add("/s/scene.lws", lwstest::Scene({lwstest::Load("cube.lwo")}, 0));

  std::vector<std::string> messages;
  ImportCallbacks callbacks;
  callbacks.error = callbacks.warning = [&](const std::string& m) { messages.push_back(m); };
  ImportedScene scene;
  ASSERT_TRUE(ImportLwsScene("/s/scene.lws", files, ImportOptions{}, callbacks, scene, ""));
  EXPECT_TRUE(messages.empty()) << messages[0];
  ASSERT_EQ(scene.materials.size(), 1u);
  EXPECT_EQ(scene.materials[0].kind, ImportedMaterial::kTextured);
  EXPECT_EQ(scene.materials[0].texture.pixels, image.pixels);

  EXPECT_EQ(files.FindIgnoringCase("/s/CUBE.LWO"), "/s/cube.lwo");
  EXPECT_EQ(files.FindIgnoringCase("/S/cube.lwo"), "");  // folders as given
}

}  // namespace
