// PNG and JPEG files of our own pictures, written by stb_image_write, for
// the texture tests and the seed corpus of the image fuzz target.
#pragma once

#include "palette/material.h"

#include <cstdint>
#include <vector>

namespace picturetest {

// channels: 1 grey, 3 RGB, 4 RGBA; pixels hold width x height x channels
// bytes, top row first.
std::vector<uint8_t> EncodePng(int width, int height, int channels, const uint8_t* pixels);
std::vector<uint8_t> EncodePng(const TextureImage& image);
std::vector<uint8_t> EncodeJpeg(const TextureImage& image, int quality);

}  // namespace picturetest
