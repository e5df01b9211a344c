// Nearest-texel lookup with repetition.
#include "palette/palette.h"

namespace {

// truncate(extent * t + 0.5), brought into 0 .. extent-1 by repetition.
int WrapTexel(float t, int extent) {
  const double scaled = double(extent) * double(t) + 0.5;
  // Far outside the image (or not a number) the exact repeat no longer
  // matters; keep the conversion to an integer defined.
  long long i = (scaled < 1e15 && scaled > -1e15) ? static_cast<long long>(scaled) : 0;
  i %= extent;
  if (i < 0) i += extent;
  return int(i);
}

}  // namespace

void SampleTexture(const TextureImage& image, float u, float v, uint8_t rgb[3]) {
  if (image.empty() || image.pixels.size() < size_t(image.width) * image.height * 3) {
    rgb[0] = rgb[1] = rgb[2] = 0;
    return;
  }
  const int x = WrapTexel(u, image.width);
  const int y = WrapTexel(v, image.height);
  const size_t at = (size_t(image.height - y - 1) * image.width + size_t(x)) * 3;
  rgb[0] = image.pixels[at];
  rgb[1] = image.pixels[at + 1];
  rgb[2] = image.pixels[at + 2];
}

void SampleTexture(const Material& material, float u, float v, uint8_t rgb[3]) {
  const float weights[3] = {1, 0, 0};
  const float uvw[3] = {u, v, 0};
  material.SampleColour(weights, uvw, rgb);
}
