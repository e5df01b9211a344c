// stb_image's JPEG decoder alone (see stb_decoder.h).
#include "palette/stb_decoder.h"

#define STBI_ONLY_JPEG
#include "palette/stb_one_decoder.h"

namespace palette {

bool ReadJpegSize(const uint8_t* bytes, size_t size, int& width, int& height, std::string& reason) {
  return StbPictureSize(stbi__jpeg_info, bytes, size, width, height, reason);
}

bool DecodeJpegRgb(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgb,
                   std::string& reason) {
  return StbDecodeRgb(bytes, size, width, height, rgb, reason);
}

}  // namespace palette
