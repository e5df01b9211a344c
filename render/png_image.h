// Pictures of the renderer's output as PNG files (through libpng), for the
// command-line tool and tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zvl::render {

// 8-bit RGB, rows top first, no padding.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3
};

// A 16-bit image (5-5-5 for red mask 0x7C00, else 5-6-5) as RGB; each
// component's high bits are repeated into its low bits so that white stays
// white.
RgbImage ExpandImage16(const uint16_t* pixels, int pitch, int width, int height, uint16_t redMask);

// The image as the bytes of an 8-bit RGB PNG file. False, with the reason
// in `error`, for an empty image.
bool EncodePng(const RgbImage& image, std::vector<uint8_t>& bytes, std::string& error);
// Writes the image as an 8-bit RGB PNG through a temporary file beside
// `path` that replaces it only when every byte was written. False, with the
// reason in `error`; whatever stood at `path` is then untouched.
bool WritePng(const std::string& path, const RgbImage& image, std::string& error);
// Reads an 8-bit RGB or RGBA PNG back (RGBA loses its alpha). False with the
// reason in `error`.
bool ReadPng(const std::string& path, RgbImage& image, std::string& error);

}  // namespace zvl::render
