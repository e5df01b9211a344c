// Included once by each of stb_png_decoder.cpp and stb_jpeg_decoder.cpp
// after it chose its decoder (STBI_ONLY_PNG or STBI_ONLY_JPEG): compiles
// stb_image with every symbol private to that file, and the two calls over
// it. Not for any other file.
#pragma once

#include "palette/messages.h"
#include "palette/palette.h"

#include <cstdlib>

// Every block the decoder takes starts zeroed: a JPEG scan may use a
// Huffman table the file never defined, and this copy of the decoder then
// reads the table's fields as they happen to be (an index far outside the
// table). A zeroed table decodes every code as symbol 0 instead.
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(block, size) std::realloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS kMaxTextureSide
#include <stb/stb_image.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

// The reason of the call just made: its failure reason is cleared first.
std::string StbReason() {
  const char* reason = stbi_failure_reason();
  return reason && *reason ? reason : palette::msg::TextureNoReason;
}

// The size through the decoder's own header reader (stbi_info would add
// its catch-all "unknown image type" over the decoder's reason).
bool StbPictureSize(int (*info)(stbi__context*, int*, int*, int*), const uint8_t* bytes, size_t size, int& width,
                    int& height, std::string& reason) {
  if (size > size_t(INT_MAX)) {
    reason = palette::msg::TextureFileTooLarge;
    return false;
  }
  stbi__g_failure_reason = nullptr;
  stbi__context context;
  stbi__start_mem(&context, bytes, int(size));
  int channels = 0;
  if (info(&context, &width, &height, &channels)) return true;
  reason = StbReason();
  return false;
}

bool StbDecodeRgb(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgb,
                  std::string& reason) {
  if (size > size_t(INT_MAX)) {
    reason = palette::msg::TextureFileTooLarge;
    return false;
  }
  stbi__g_failure_reason = nullptr;
  int channels = 0;
  const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(bytes, int(size), &width, &height, &channels, 3), stbi_image_free);
  if (!pixels) {
    reason = StbReason();
    return false;
  }
  rgb.assign(pixels.get(), pixels.get() + size_t(width) * size_t(height) * 3);
  return true;
}

}  // namespace
