#include "palette/messages.h"
#include "palette/palette.h"
#include "picture_encoders.h"
#include "test_scene.h"

#include "zvlfile/le.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// A smooth picture (JPEG keeps it within a few levels).
TextureImage Smooth(int width, int height) {
  TextureImage image;
  image.width = uint16_t(width);
  image.height = uint16_t(height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int value : {40 + 4 * x, 200 - 3 * y, 100 + 2 * (x + y)}) image.pixels.push_back(uint8_t(value));
  return image;
}

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

int LargestDifference(const TextureImage& a, const TextureImage& b) {
  int largest = 0;
  for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
    largest = std::max(largest, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
  return largest;
}

std::string Damaged(const std::string& path) {
  char text[512];
  std::snprintf(text, sizeof text, palette::msg::BmpDamaged, path.c_str());
  return text;
}

TEST(TextureImage, PngAndJpegLoadToTheTexelsOfTheBmp) {
  TempFolder folder;
  const TextureImage picture = Smooth(32, 24);
  ASSERT_EQ(WriteBmpTexture(folder.File("p.bmp"), picture), 0);
  Save(folder.File("p.png"), picturetest::EncodePng(picture));
  Save(folder.File("p.jpg"), picturetest::EncodeJpeg(picture, 95));
  TextureImage bmp, png, jpeg;
  std::string error;
  ASSERT_TRUE(LoadTextureImage(folder.File("p.bmp"), bmp, error)) << error;
  ASSERT_TRUE(LoadTextureImage(folder.File("p.png"), png, error)) << error;
  ASSERT_TRUE(LoadTextureImage(folder.File("p.jpg"), jpeg, error, BmpPathStyle::Joined)) << error;
  EXPECT_EQ(bmp.pixels, picture.pixels);
  EXPECT_EQ(png.pixels, bmp.pixels);
  ASSERT_EQ(jpeg.width, bmp.width);
  ASSERT_EQ(jpeg.height, bmp.height);
  EXPECT_LE(LargestDifference(jpeg, bmp), 12);

  // Grey and RGBA pictures become RGB, the alpha dropped.
  const uint8_t grey[] = {0, 100, 200, 255}, rgba[] = {1, 2, 3, 0, 4, 5, 6, 255};
  TextureImage image;
  const auto greyPng = picturetest::EncodePng(2, 2, 1, grey);
  ASSERT_TRUE(DecodeTextureImage(greyPng.data(), greyPng.size(), "g.png", image, error)) << error;
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0, 0, 0, 100, 100, 100, 200, 200, 200, 255, 255, 255}));
  const auto rgbaPng = picturetest::EncodePng(1, 2, 4, rgba);
  ASSERT_TRUE(DecodeTextureImage(rgbaPng.data(), rgbaPng.size(), "a.png", image, error)) << error;
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(TextureImage, FormatComesFromTheContentAndNamesMatchIgnoringCase) {
  TempFolder folder;
  const TextureImage picture = Smooth(5, 3);
  Save(folder.File("CWALL02.jpg"), EncodeBmpTexture(picture));  // a BMP named .jpg
  Save(folder.File("wood.bmp"), picturetest::EncodePng(picture));  // a PNG named .bmp
  TextureImage image;
  std::string error;
  ASSERT_TRUE(LoadTextureImage(folder.File("CWALL02.JPG"), image, error)) << error;
  EXPECT_EQ(image.pixels, picture.pixels);
  ASSERT_TRUE(LoadTextureImage(folder.File("WOOD.BMP"), image, error)) << error;
  EXPECT_EQ(image.pixels, picture.pixels);

  // Several names match: the first in sorted order; the exact name first.
  Save(folder.File("Wood.bmp"), {});
  EXPECT_EQ(FindFileIgnoringCase(folder.File("WOOD.bmp")), folder.File("Wood.bmp"));
  EXPECT_EQ(FindFileIgnoringCase(folder.File("wood.bmp")), folder.File("wood.bmp"));
  EXPECT_EQ(FindFileIgnoringCase(folder.File("none.bmp")), "");
  // Only the file name is matched ignoring case, not the folders.
  EXPECT_EQ(FindFileIgnoringCase(folder.path.string() + "/SUB/../wood.bmp"), "");

  EXPECT_FALSE(LoadTextureImage(folder.File("none.jpg"), image, error));
  EXPECT_EQ(error, "Open failed on " + folder.File("none.jpg") + " file.");
}

TEST(TextureImage, DamagedOrOversizedPicturesGiveTheDamagedMessageWithAReason) {
  const TextureImage picture = Smooth(8, 8);
  TextureImage image;
  std::string error;
  for (auto bytes : {picturetest::EncodePng(picture), picturetest::EncodeJpeg(picture, 80)}) {
    bytes.resize(bytes.size() / 3);
    EXPECT_FALSE(DecodeTextureImage(bytes.data(), bytes.size(), "t.img", image, error, BmpPathStyle::FileNameOnly));
    EXPECT_EQ(error.rfind(Damaged("t.img") + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), Damaged("t.img").size() + 2) << error;
  }
  // A header claiming more texels than allowed is refused before decoding.
  auto png = picturetest::EncodePng(picture);
  zvl::le::put32(png.data() + 16, 0x00400000);  // IHDR width, big-endian: 16384
  zvl::le::put32(png.data() + 20, 0x01100000);  // height 4097
  char reason[200];
  std::snprintf(reason, sizeof reason, palette::msg::TextureTooLarge, 16384, 4097, kMaxTextureSide, 64);
  EXPECT_FALSE(DecodeTextureImage(png.data(), png.size(), "big.png", image, error));
  EXPECT_EQ(error, Damaged("big.png") + ": " + reason);
  // A JPEG whose size its few bytes cannot hold.
  auto huge = picturetest::EncodeJpeg(picture, 80);
  const uint8_t frame[] = {0xFF, 0xC0};
  const auto sof = std::search(huge.begin(), huge.end(), std::begin(frame), std::end(frame));
  ASSERT_NE(sof, huge.end());
  const uint8_t size4000[] = {0x0F, 0xA0, 0x0F, 0xA0};  // height, width: 4000 x 4000
  std::copy(std::begin(size4000), std::end(size4000), sof + 5);
  char larger[200];
  std::snprintf(larger, sizeof larger, palette::msg::TextureLargerThanData, 4000, 4000, huge.size());
  EXPECT_FALSE(DecodeTextureImage(huge.data(), huge.size(), "j.jpg", image, error));
  EXPECT_EQ(error, Damaged("j.jpg") + ": " + larger);
  // A Huffman table of more than 256 codes (the decoder would overrun it).
  auto jpeg = picturetest::EncodeJpeg(picture, 80);
  const uint8_t marker[] = {0xFF, 0xC4};
  const auto dht = std::search(jpeg.begin(), jpeg.end(), std::begin(marker), std::end(marker));
  ASSERT_NE(dht, jpeg.end());
  std::fill(dht + 5, dht + 21, 17);
  EXPECT_FALSE(DecodeTextureImage(jpeg.data(), jpeg.size(), "h.jpg", image, error));
  EXPECT_EQ(error, Damaged("h.jpg") + ": " + palette::msg::JpegHuffmanTable);
  // A chunk longer than the file (the decoder would make room for it first).
  auto longChunk = picturetest::EncodePng(picture);
  const uint8_t idat[] = {'I', 'D', 'A', 'T'};
  const auto chunk = std::search(longChunk.begin(), longChunk.end(), std::begin(idat), std::end(idat));
  ASSERT_NE(chunk, longChunk.end());
  std::fill(chunk - 4, chunk, 0x7F);
  EXPECT_FALSE(DecodeTextureImage(longChunk.data(), longChunk.size(), "c.png", image, error));
  EXPECT_EQ(error, Damaged("c.png") + ": " + palette::msg::PngChunkTooLong);
  // Not PNG or JPEG: the BMP reader's own message.
  const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
  EXPECT_FALSE(DecodeTextureImage(text.data(), text.size(), "t.bmp", image, error));
  EXPECT_EQ(error, Damaged("t.bmp"));
}

}  // namespace
