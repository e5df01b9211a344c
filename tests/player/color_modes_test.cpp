#include "player/color_modes.h"
#include "player/start_picture.h"

#include "zvlfile/database.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace zvplay;

TEST(PixelFormat, PackAndUnpackAreInverse) {
  for (unsigned v = 0; v < 0x8000; v += 37) {
    EXPECT_EQ(PackPixel(UnpackPixel(uint16_t(v), PixelFormat::Rgb555), PixelFormat::Rgb555), v);
  }
  for (unsigned v = 0; v < 0x10000; v += 41) {
    EXPECT_EQ(PackPixel(UnpackPixel(uint16_t(v), PixelFormat::Rgb565), PixelFormat::Rgb565), v);
  }
  EXPECT_EQ(PackPixel(255, 0, 0, PixelFormat::Rgb555), 0x7C00);
  EXPECT_EQ(PackPixel(255, 0, 0, PixelFormat::Rgb565), 0xF800);
  EXPECT_EQ(PackPixel(0, 255, 0, PixelFormat::Rgb565), 0x07E0);
}

TEST(ColorModes, IndexColorShowsTheShadeTablesPaletteColour) {
  auto palette = std::make_unique<ZorvelPalette>();
  palette->colors[7][0] = 255;    // index 7: red
  palette->colors[9][2] = 255;    // index 9: blue
  palette->shades[0][3] = 9;      // shade 0 of colour 3 is index 9
  palette->shades[23][3] = 7;     // shade 23 of colour 3 is index 7
  std::vector<uint16_t> table(ColorTableEntries, 0xAAAA);
  BuildIndexColorTable(*palette, PixelFormat::Rgb555, table);
  EXPECT_EQ(table[3], 0x001F);
  EXPECT_EQ(table[(23 << 8) | 3], 0x7C00);
  EXPECT_EQ(table[5], 0);  // shade 0 of colour 5 is index 0, black
  BuildIndexColorTable(*palette, PixelFormat::Rgb565, table);
  EXPECT_EQ(table[(23 << 8) | 3], 0xF800);
}

TEST(ColorModes, WhiteLightLeavesTheTableAndColouredLightTints) {
  std::vector<uint16_t> saved(ColorTableEntries);
  for (size_t i = 0; i < saved.size(); ++i) saved[i] = uint16_t((i * 2654435761u) & 0x7FFF);
  saved[0] = 0;
  std::vector<uint16_t> out(ColorTableEntries);
  TintColorTable(saved, PixelFormat::Rgb555, Rgb{255, 255, 255}, PixelFormat::Rgb555, out);
  EXPECT_EQ(out, saved);

  // White light into the other format is a plain conversion.
  std::vector<uint16_t> converted(ColorTableEntries);
  ConvertColorTable(saved, PixelFormat::Rgb555, PixelFormat::Rgb565, converted);
  TintColorTable(saved, PixelFormat::Rgb555, Rgb{255, 255, 255}, PixelFormat::Rgb565, out);
  EXPECT_EQ(out, converted);

  // Red light on grey: red grows, green and blue fall to the floor of 1, the
  // length stays that of the dimmed grey.
  const uint16_t grey = PackPixel(128, 128, 128, PixelFormat::Rgb555);
  std::vector<uint16_t> one{grey, 0};
  std::vector<uint16_t> tinted(2);
  TintColorTable(one, PixelFormat::Rgb555, Rgb{255, 0, 0}, PixelFormat::Rgb555, tinted);
  const Rgb c = UnpackPixel(tinted[0], PixelFormat::Rgb555);
  EXPECT_GT(c.r, 120);
  EXPECT_EQ(c.g, 0);
  EXPECT_EQ(c.b, 0);
  EXPECT_EQ(tinted[1], 0);  // black stays black

  // Black light turns everything black.
  TintColorTable(saved, PixelFormat::Rgb555, Rgb{0, 0, 0}, PixelFormat::Rgb555, out);
  for (uint16_t v : out) ASSERT_EQ(v, 0);
}

namespace {

// A small 8-bit BMP: palette entry i is (i, 255 - i, 7), pixel (x, y) of the
// picture as seen is index 10 * y + x.
std::vector<uint8_t> makeBmp(int width, int height, bool topDown) {
  const int stride = (width + 3) & ~3;
  const int offset = 54 + 1024;
  std::vector<uint8_t> b(size_t(offset + stride * height), 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, uint32_t(b.size()));
  put32(10, uint32_t(offset));
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(topDown ? -height : height));
  b[26] = 1;
  b[28] = 8;
  for (int i = 0; i < 256; ++i) {
    b[size_t(54 + 4 * i)] = 7;
    b[size_t(54 + 4 * i + 1)] = uint8_t(255 - i);
    b[size_t(54 + 4 * i + 2)] = uint8_t(i);
  }
  for (int y = 0; y < height; ++y) {
    const int stored = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) b[size_t(offset + stored * stride + x)] = uint8_t(10 * y + x);
  }
  return b;
}

}  // namespace

TEST(StartPicture, DrawsThroughThePaletteTopRowFirstAndClips) {
  for (bool topDown : {false, true}) {
    const auto bmp = makeBmp(5, 3, topDown);
    std::vector<uint16_t> pixels(4 * 8, 0x1234);
    ImageView16 image{pixels.data(), 4, 2, 8, PixelFormat::Rgb555};
    ASSERT_TRUE(DrawStartPicture(bmp, image));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) {
        const int i = 10 * y + x;
        EXPECT_EQ(pixels[size_t(y * 8 + x)], PackPixel(i, 255 - i, 7, PixelFormat::Rgb555)) << x << "," << y;
      }
    EXPECT_EQ(pixels[4], 0x1234);  // beyond the image's width, inside its pitch
    EXPECT_EQ(pixels[2 * 8], 0x1234);
  }
}

TEST(StartPicture, RefusesDamagedFilesAndDrawsNothing) {
  const auto good = makeBmp(6, 4, false);
  std::vector<uint16_t> pixels(64, 0x1111);
  ImageView16 image{pixels.data(), 8, 8, 8, PixelFormat::Rgb565};
  for (size_t n = 0; n < good.size(); n += 13) {
    EXPECT_FALSE(DrawStartPicture(std::span<const uint8_t>(good.data(), n), image)) << n;
  }
  auto bad = good;
  bad[28] = 24;  // not 8-bit
  EXPECT_FALSE(DrawStartPicture(bad, image));
  bad = good;
  bad[10] = 0xFF;  // pixel data beyond the end
  bad[11] = 0xFF;
  EXPECT_FALSE(DrawStartPicture(bad, image));
  bad = good;
  bad[21] = 0x7F;  // absurd width
  EXPECT_FALSE(DrawStartPicture(bad, image));
  for (uint16_t v : pixels) ASSERT_EQ(v, 0x1111);
  EXPECT_TRUE(DrawStartPicture(good, image));
}
