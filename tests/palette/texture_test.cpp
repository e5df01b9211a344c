#include "palette/messages.h"
#include "palette/palette.h"
#include "test_scene.h"

#include "zvlfile/le.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

// A picture whose texel (x, y) (y = 0 the top row) is (x, y, x + 16 y).
TextureImage Pattern(int width, int height) {
  TextureImage image;
  image.width = uint16_t(width);
  image.height = uint16_t(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.pixels.push_back(uint8_t(x));
      image.pixels.push_back(uint8_t(y));
      image.pixels.push_back(uint8_t(x + 16 * y));
    }
  }
  return image;
}

// Every colour the pattern uses, as an 8-bit colour table.
std::vector<uint8_t> PatternColours(const TextureImage& image) {
  std::vector<uint8_t> colours(768, 0);
  for (size_t i = 0; i + 2 < image.pixels.size(); i += 3) {
    const int entry = image.pixels[i + 2];
    std::copy(image.pixels.begin() + long(i), image.pixels.begin() + long(i) + 3, colours.begin() + entry * 3);
  }
  return colours;
}

std::string Damaged(const std::string& path) {
  char text[512];
  std::snprintf(text, sizeof text, palette::msg::BmpDamaged, path.c_str());
  return text;
}

bool Decode(const std::vector<uint8_t>& bytes, TextureImage& image, std::string& error) {
  return DecodeBmpTexture(bytes.data(), bytes.size(), "t.bmp", image, error);
}

TEST(BmpTexture, RowPaddingAndBothRowOrders) {
  struct Case {
    int width, height, bits;
    size_t fileSize;
  };
  // 24-bit width 3: rows of 9 bytes plus 3 of padding; 8-bit width 4 has no
  // padding, width 5 reads 8 bytes per row.
  for (const Case c : {Case{3, 2, 24, 54 + 2 * 12}, Case{4, 3, 8, 54 + 1024 + 3 * 4}, Case{5, 3, 8, 54 + 1024 + 3 * 8}}) {
    const TextureImage image = Pattern(c.width, c.height);
    const std::vector<uint8_t> colours = PatternColours(image);
    for (bool topDown : {false, true}) {
      const auto bytes = EncodeBmpTexture(image, c.bits == 8 ? colours.data() : nullptr, topDown);
      EXPECT_EQ(bytes.size(), c.fileSize);
      TextureImage read;
      std::string error;
      ASSERT_TRUE(Decode(bytes, read, error)) << error;
      EXPECT_EQ(read.width, c.width);
      EXPECT_EQ(read.height, c.height);
      EXPECT_EQ(read.pixels, image.pixels) << c.width << " " << c.bits << " " << topDown;
    }
  }
  // A bottom-up file's first row is the picture's last row.
  const auto bytes = EncodeBmpTexture(Pattern(3, 2), nullptr);
  EXPECT_EQ(bytes[54], 0 + 16 * 1);  // blue of texel (0, 1)
  EXPECT_EQ(bytes[54 + 1], 1);       // green
}

TEST(BmpTexture, RefusesUnsupportedAndDamagedFiles) {
  const auto good = EncodeBmpTexture(Pattern(4, 4), nullptr);
  TextureImage image;
  std::string error;
  auto withDepth = [&](uint16_t bits) {
    auto bytes = good;
    zvl::le::put16(bytes.data() + 28, bits);
    return bytes;
  };
  EXPECT_FALSE(Decode(withDepth(1), image, error));
  EXPECT_EQ(error, std::string("BMP file t.bmp") + palette::msg::BmpOneBitJoined);
  EXPECT_FALSE(Decode(withDepth(4), image, error));
  EXPECT_EQ(error, std::string("BMP file t.bmp") + palette::msg::BmpFourBitJoined);
  EXPECT_FALSE(DecodeBmpTexture(withDepth(4).data(), good.size(), "t.bmp", image, error, BmpPathStyle::FileNameOnly));
  EXPECT_EQ(error, "BMP file t.bmp: 4-bit bitmap are not supporting");
  EXPECT_FALSE(Decode(withDepth(16), image, error));
  EXPECT_EQ(error, Damaged("t.bmp"));

  auto edit = [&](size_t at, uint32_t value) {
    auto bytes = good;
    zvl::le::put32(bytes.data() + at, value);
    return bytes;
  };
  for (const auto& bad : {edit(18, 16385), edit(18, 0), edit(22, 0), edit(22, 0x80000000u), edit(18, 0x7FFFFFFF),
                          edit(10, 20), edit(10, 0xFFFFFFF0u), std::vector<uint8_t>(good.begin(), good.end() - 1),
                          std::vector<uint8_t>(good.begin(), good.begin() + 53)}) {
    EXPECT_FALSE(Decode(bad, image, error));
    EXPECT_EQ(error, Damaged("t.bmp"));
  }
  // An 8-bit colour table that does not fit the 256 entries.
  const TextureImage small = Pattern(4, 1);
  auto eight = EncodeBmpTexture(small, PatternColours(small).data());
  eight.insert(eight.begin() + 54, 4, 0);
  zvl::le::put32(eight.data() + 10, 54 + 1028);
  EXPECT_FALSE(Decode(eight, image, error));
}

TEST(BmpTexture, LoadsFilesAndNamesThemInMessages) {
  TempFolder folder;
  const TextureImage image = Pattern(5, 2);
  const std::string path = folder.File("tex.bmp");
  ASSERT_EQ(WriteBmpTexture(path, image), 0);
  TextureImage read;
  std::string error;
  ASSERT_TRUE(LoadBmpTexture(path, read, error)) << error;
  EXPECT_EQ(read.pixels, image.pixels);

  const std::string missing = folder.File("none.bmp");
  EXPECT_FALSE(LoadBmpTexture(missing, read, error));
  EXPECT_EQ(error, "Open failed on " + missing + " file.");
  // The LightWave path looks only at the file name, in the current folder,
  // whichever separator the scene used.
  EXPECT_EQ(FileNamePart("C:\\maps\\wood.bmp"), "wood.bmp");
  EXPECT_EQ(FileNamePart("maps/sub\\wood.bmp"), "wood.bmp");
  EXPECT_EQ(FileNamePart("wood.bmp"), "wood.bmp");
  EXPECT_FALSE(LoadBmpTexture("/no/such/folder\\tex_lw.bmp", read, error, BmpPathStyle::FileNameOnly));
  EXPECT_EQ(error, "Open failed on tex_lw.bmp file.");

  std::ofstream(folder.File("short.bmp"), std::ios::binary).write("BM", 2);
  EXPECT_FALSE(LoadBmpTexture(folder.File("short.bmp"), read, error));
  EXPECT_EQ(error, Damaged(folder.File("short.bmp")));
}

TEST(SampleTexture, NearestTexelRepeats) {
  const TextureImage image = Pattern(16, 4);
  uint8_t rgb[3];
  SampleTexture(image, 1.0f, 0.0f, rgb);  // x = 16 wraps to 0; v = 0 is the bottom row
  EXPECT_EQ(rgb[0], 0);
  EXPECT_EQ(rgb[1], 3);
  SampleTexture(image, -0.25f, 0.99f, rgb);  // x = trunc(-3.5) = -3 -> 13; y = trunc(4.46) = 4 -> 0
  EXPECT_EQ(rgb[0], 13);
  EXPECT_EQ(rgb[1], 3);
  SampleTexture(image, 0.5f, 0.5f, rgb);  // x = 8, y = 2 -> picture row 1
  EXPECT_EQ(rgb[0], 8);
  EXPECT_EQ(rgb[1], 1);
  SampleTexture(image, std::nanf(""), 1e30f, rgb);  // defined, inside the image
  EXPECT_LT(rgb[0], 16);

  ImageMaterial textured;
  textured.image = image;
  SampleTexture(textured, 0.5f, 0.5f, rgb);
  EXPECT_EQ(rgb[0], 8);
  Material flat;
  SampleTexture(flat, 0.5f, 0.5f, rgb);
  EXPECT_EQ(rgb[0] | rgb[1] | rgb[2], 0);
}

TEST(ImageMaterial, LoadsItsTextureOnPrepareAndReportsFailure) {
  TempFolder folder;
  ImageMaterial material;
  material.texturePath = folder.File("m.bmp");
  std::vector<std::string> reported;
  material.reportError = [&](const std::string& text) { reported.push_back(text); };
  EXPECT_EQ(material.PrepareTexture(), -1);
  EXPECT_EQ(reported, std::vector<std::string>{"Open failed on " + material.texturePath + " file."});
  ASSERT_EQ(WriteBmpTexture(material.texturePath, Pattern(2, 2)), 0);
  ASSERT_EQ(material.PrepareTexture(), 0);
  EXPECT_EQ(material.image.width, 2);
  material.ReleaseTexture();
  EXPECT_TRUE(material.image.empty());
}

TEST(ImageMap, PlanarProjection) {
  ImageMapTexture texture;
  texture.kind = ImageMapKind::Planar;
  texture.axis = 0;  // z
  texture.size[0] = 4, texture.size[1] = 2, texture.size[2] = 1;
  texture.centre[0] = 1, texture.centre[1] = 1, texture.centre[2] = 1;
  float u = 0, v = 0;
  const float centre[3] = {1, 1, 1};
  ProjectImageMap(texture, centre, u, v);
  EXPECT_FLOAT_EQ(u, 0.5f);
  EXPECT_FLOAT_EQ(v, -0.5f);
  const float edge[3] = {3, 1, 1};  // dx = sx / 2: u = 1.0, which frac turns into 0
  ProjectImageMap(texture, edge, u, v);
  EXPECT_FLOAT_EQ(u, 0.0f);
  texture.kind = ImageMapKind::Cubic;  // projected as planar
  const float quarter[3] = {2, 1.5f, 1};
  ProjectImageMap(texture, quarter, u, v);
  EXPECT_FLOAT_EQ(u, 0.75f);
  EXPECT_FLOAT_EQ(v, -0.25f);
  texture.size[0] = 0;  // a damaged size gives a defined coordinate
  ProjectImageMap(texture, quarter, u, v);
  EXPECT_FLOAT_EQ(u, 0.5f);
}

TEST(ImageMap, CylindricalAndSphericalAngles) {
  ImageMapTexture texture;
  texture.kind = ImageMapKind::Cylindrical;
  texture.axis = 2;  // y
  const float front[3] = {0, 0.25f, 1};  // A = ang(0, 1) = 0: u = 1 -> 0; h = -0.25
  float u = 0, v = 0;
  ProjectImageMap(texture, front, u, v);
  EXPECT_NEAR(u, 0.0f, 1e-6);
  EXPECT_NEAR(v, -0.25f, 1e-6);
  const float side[3] = {-1, 0, 0};  // A = ang(1, 0) = -pi/2: u = 1.25 -> 0.25
  ProjectImageMap(texture, side, u, v);
  EXPECT_NEAR(u, 0.25f, 1e-6);
  texture.widthWrap = 2.0;  // u = frac(1.25) * 2 = 0.5
  ProjectImageMap(texture, side, u, v);
  EXPECT_NEAR(u, 0.5f, 1e-6);

  texture = ImageMapTexture{};
  texture.kind = ImageMapKind::Spherical;
  texture.axis = 2;  // y: (a, m, c) = (-dx, dy, dz)
  const float pole[3] = {0, 1, 0};  // r = 0, m > 0: latitude pi/2, v = 0
  ProjectImageMap(texture, pole, u, v);
  EXPECT_NEAR(v, 0.0f, 1e-6);
  const float equator[3] = {0, 0, 1};  // longitude 0, latitude 0: v = 0.5 -> -0.5
  ProjectImageMap(texture, equator, u, v);
  EXPECT_NEAR(u, 0.0f, 1e-6);
  EXPECT_NEAR(v, -0.5f, 1e-6);
  const float origin[3] = {0, 0, 0};
  ProjectImageMap(texture, origin, u, v);
  EXPECT_NEAR(v, -0.5f, 1e-6);

  EXPECT_EQ(ImageMapKindFromName("Spherical Image Map"), ImageMapKind::Spherical);
  EXPECT_EQ(ImageMapKindFromName("Veins"), ImageMapKind::Veins);
  EXPECT_EQ(ImageMapKindFromName("Plaid"), ImageMapKind::Unknown);
  EXPECT_TRUE(IsImageMap(ImageMapKind::FrontProjection));
  EXPECT_FALSE(IsImageMap(ImageMapKind::Marble));
}

}  // namespace
