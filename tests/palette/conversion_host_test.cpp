#include "palette/messages.h"
#include "palette/palette.h"
#include "voxelize/memory_host.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

MeshObject Triangle(const std::string& name, int32_t material) {
  MeshObject mesh;
  mesh.name = name;
  mesh.gridSteps = {1.0f};
  mesh.smoothing = {0};
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  MeshFace face;
  face.v[0] = 0, face.v[1] = 1, face.v[2] = 2;
  face.material = material;
  mesh.faces = {face};
  return mesh;
}

std::unique_ptr<Material> Flat(uint8_t red) {
  auto m = std::make_unique<Material>();
  m->ambient[0] = m->diffuse[0] = red;
  return m;
}

TEST(MemoryConversionHost, BuildsThePaletteFromItsObjectsAndHandsEverythingBack) {
  MemoryConversionHost host;
  host.AddMaterial(Flat(200));
  host.AddMaterial(Flat(50));   // used by no face
  host.AddMaterial(Flat(200));  // equal to material 0
  host.AddObject(Triangle("a", 0));
  host.AddObject(Triangle("b", 2));
  host.AddObject(Triangle("c", 7));  // outside the table: ignored by the usage
  EXPECT_EQ(host.materialCount, 3);

  ASSERT_EQ(PreparePalette(host, PaletteSettings{}), 0);
  EXPECT_EQ(host.objectsOut, 0);
  EXPECT_EQ(host.Palette().redirection, (std::vector<int32_t>{2, -1, 2}));
  EXPECT_EQ(host.Palette().flatCount, 1);
  EXPECT_EQ(ColourIndex(host.Palette(), nullptr, 0), 0);
  EXPECT_EQ(host.materialsOut, 1);
  EXPECT_EQ(host.infos, std::vector<std::string>{palette::msg::NoTexturedMaterial});
  ReleaseMaterials(host);
  EXPECT_EQ(host.materialsOut, 0);

  // A missing material fails the builder and hands back what it took.
  host.materials[1].reset();
  EXPECT_EQ(PreparePalette(host, PaletteSettings{}), -1);
  EXPECT_EQ(host.materialsOut, 0);
  EXPECT_EQ(host.errors.size(), 1u);
}

TEST(MemoryConversionHost, EngineSlotsAndDefaults) {
  MemoryConversionHost host;
  host.Palette().palette.colors[255][2] = 9;
  uint8_t rgb[768] = {};
  host.GetPaletteRgb(rgb);
  EXPECT_EQ(rgb[767], 9);

  auto* block = static_cast<uint8_t*>(host.Allocate(64));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[63], 0);
  void* pointer = block;
  host.Free(&pointer);
  EXPECT_EQ(pointer, nullptr);

  ZvlMemoryStream stream;
  const ZvlHandle handle = ZvlStreamHandle(stream);
  EXPECT_EQ(host.Write(handle, "abc", 3), 3);
  EXPECT_EQ(host.Tell(handle), 3);
  EXPECT_EQ(host.Seek(handle, 1, SEEK_SET), 1);
  char c = 0;
  EXPECT_EQ(host.Read(handle, &c, 1), 1);
  EXPECT_EQ(c, 'b');

  // Another thread asks a running conversion to stop.
  std::thread window([&host] { host.Stop(); });
  window.join();
  EXPECT_EQ(host.stopFlag.load(), 1);

  host.stopAtStep = 3;
  EXPECT_EQ(host.BeginProgress(10, "Zorvel generation : box"), 0);
  EXPECT_EQ(host.StepProgress(2), 0);
  EXPECT_NE(host.StepProgress(3), 0);
  EXPECT_EQ(host.progressCaptions, std::vector<std::string>{"Zorvel generation : box"});
  EXPECT_EQ(host.GetObject(0), nullptr);
  EXPECT_EQ(host.ReleaseMaterial(nullptr), -1);
}

}  // namespace
