// stb_image's PNG decoder alone (see stb_decoder.h).
#include "palette/stb_decoder.h"

#define STBI_ONLY_PNG
#include "palette/stb_one_decoder.h"

namespace palette {

bool ReadPngSize(const uint8_t* bytes, size_t size, int& width, int& height, std::string& reason) {
  return StbPictureSize(stbi__png_info, bytes, size, width, height, reason);
}

bool DecodePngRgb(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgb,
                  std::string& reason) {
  return StbDecodeRgb(bytes, size, width, height, rgb, reason);
}

}  // namespace palette
