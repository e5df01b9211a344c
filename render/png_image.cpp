// PNG output through libpng's simplified interface.
#include "render/png_image.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include "zvlfile/io.h"

namespace zvl::render {

RgbImage ExpandImage16(const uint16_t* pixels, int pitch, int width, int height, uint16_t redMask) {
  RgbImage image;
  image.width = width;
  image.height = height;
  image.rgb.resize(size_t(width) * size_t(height) * 3);
  const bool is565 = redMask == 0xF800;
  auto five = [](unsigned v) { return uint8_t((v << 3) | (v >> 2)); };
  auto six = [](unsigned v) { return uint8_t((v << 2) | (v >> 4)); };
  uint8_t* out = image.rgb.data();
  for (int y = 0; y < height; ++y) {
    const uint16_t* row = pixels + ptrdiff_t(y) * pitch;
    for (int x = 0; x < width; ++x, out += 3) {
      const unsigned v = row[x];
      if (is565) {
        out[0] = five((v >> 11) & 31);
        out[1] = six((v >> 5) & 63);
      } else {
        out[0] = five((v >> 10) & 31);
        out[1] = five((v >> 5) & 31);
      }
      out[2] = five(v & 31);
    }
  }
  return image;
}

bool EncodePng(const RgbImage& image, std::vector<uint8_t>& bytes, std::string& error) {
  if (image.width <= 0 || image.height <= 0 || image.rgb.size() != size_t(image.width) * size_t(image.height) * 3) {
    error = "empty image";
    return false;
  }
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = png_uint_32(image.width);
  png.height = png_uint_32(image.height);
  png.format = PNG_FORMAT_RGB;
  // First the size, then the bytes.
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&png, nullptr, &size, 0, image.rgb.data(), 0, nullptr)) {
    bytes.resize(size);
    if (png_image_write_to_memory(&png, bytes.data(), &size, 0, image.rgb.data(), 0, nullptr)) {
      bytes.resize(size);
      return true;
    }
  }
  error = png.message[0] ? png.message : "Can't write PNG file";
  png_image_free(&png);
  return false;
}

bool WritePng(const std::string& path, const RgbImage& image, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!EncodePng(image, bytes, error)) return false;
  const int result = ZvlWriteFileReplacing(path, [&](ZvlHandle handle) {
    return ZvlCheckedWrite(handle, bytes.data(), long(bytes.size())) == long(bytes.size()) ? 0 : ZvlFailure;
  });
  if (result != 0) {
    error = ZvlGetErrorText();
    return false;
  }
  return true;
}

bool ReadPng(const std::string& path, RgbImage& image, std::string& error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    error = png.message;
    return false;
  }
  png.format = PNG_FORMAT_RGB;
  image.width = int(png.width);
  image.height = int(png.height);
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
    error = png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

}  // namespace zvl::render
