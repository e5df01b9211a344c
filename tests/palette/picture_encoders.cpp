#include "picture_encoders.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace picturetest {
namespace {

void Append(void* context, void* data, int size) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(context);
  bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, int channels, const uint8_t* pixels) {
  std::vector<uint8_t> bytes;
  stbi_write_png_to_func(Append, &bytes, width, height, channels, pixels, width * channels);
  return bytes;
}

std::vector<uint8_t> EncodePng(const TextureImage& image) {
  return EncodePng(image.width, image.height, 3, image.pixels.data());
}

std::vector<uint8_t> EncodeJpeg(const TextureImage& image, int quality) {
  std::vector<uint8_t> bytes;
  stbi_write_jpg_to_func(Append, &bytes, image.width, image.height, 3, image.pixels.data(), quality);
  return bytes;
}

}  // namespace picturetest
