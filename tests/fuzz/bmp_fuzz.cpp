// The texture readers over arbitrary bytes, the format taken from the
// content (BMP, PNG or JPEG): they must never read outside the input, crash
// or allocate more than the picture's size allows, and what they accept must
// survive writing as BMP and reading again unchanged.
#include "palette/palette.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TextureImage image;
  std::string error;
  const BmpPathStyle style = size % 2 ? BmpPathStyle::Joined : BmpPathStyle::FileNameOnly;
  if (!DecodeTextureImage(data, size, "fuzz.bmp", image, error, style)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (image.empty() || image.pixels.size() != size_t(image.width) * image.height * 3 ||
      image.width > kMaxTextureSide || image.height > kMaxTextureSide ||
      uint64_t(image.width) * image.height > kMaxTexturePixels) {
    std::fprintf(stderr, "accepted image of %dx%d with %zu bytes\n", image.width, image.height, image.pixels.size());
    std::abort();
  }
  const std::vector<uint8_t> again = EncodeBmpTexture(image, nullptr, size % 3 == 0);
  TextureImage copy;
  if (!DecodeTextureImage(again.data(), again.size(), "again.bmp", copy, error) || copy.pixels != image.pixels) {
    std::fprintf(stderr, "written image does not read back: %s\n", error.c_str());
    std::abort();
  }
  uint8_t rgb[3];
  float uv[2] = {0.5f, 0.5f};
  if (size >= 8) std::memcpy(uv, data + size - 8, 8);
  SampleTexture(image, uv[0], uv[1], rgb);
  return 0;
}
