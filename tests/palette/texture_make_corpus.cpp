// Writes the PNG and JPEG seeds of the image fuzz target (the BMP seeds come
// from our BMP writer):
//   texture_make_corpus tests/fuzz/corpus/bmp_fuzz
#include "picture_encoders.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TextureImage Ramp(int width, int height) {
  TextureImage image;
  image.width = uint16_t(width);
  image.height = uint16_t(height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int value : {16 * x, 255 - 16 * y, 8 * (x + y)}) image.pixels.push_back(uint8_t(value));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: texture_make_corpus DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  Save(dir + "/rgb_5x3.png", picturetest::EncodePng(Ramp(5, 3)));
  const uint8_t grey[] = {0, 60, 120, 180, 240, 255};
  Save(dir + "/grey_3x2.png", picturetest::EncodePng(3, 2, 1, grey));
  const uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 9, 9, 9, 9};
  Save(dir + "/rgba_2x2.png", picturetest::EncodePng(2, 2, 4, rgba));
  // stb_image_write keeps full chroma at quality 90 and above and halves it below.
  Save(dir + "/rgb_8x8_full_chroma.jpg", picturetest::EncodeJpeg(Ramp(8, 8), 95));
  Save(dir + "/rgb_17x9_half_chroma.jpg", picturetest::EncodeJpeg(Ramp(17, 9), 50));
  return 0;
}
