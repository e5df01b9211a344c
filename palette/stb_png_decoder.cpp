// stb_image's PNG decoder alone (see stb_decoder.h).
#include "palette/stb_decoder.h"

#define STBI_ONLY_PNG
#include "palette/stb_one_decoder.h"

#include <algorithm>

namespace {

// PNG stores its numbers big-endian.
uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// This copy of the decoder makes room for an IDAT chunk's declared length
// before it checks that the file holds that many bytes, so a few bytes could
// make it ask for 2 GB. The chunks are walked the way the decoder walks them
// (length, type, data, CRC, up to IEND), and a chunk longer than the rest of
// the file is refused before the decoder sees it.
bool ChunksFitTheFile(const uint8_t* bytes, size_t size) {
  constexpr uint32_t kEnd = uint32_t('I') << 24 | uint32_t('E') << 16 | uint32_t('N') << 8 | uint32_t('D');
  size_t at = std::min<size_t>(8, size);  // after the signature
  while (size - at >= 8) {
    const uint32_t length = BigEndian32(bytes + at);
    const uint32_t type = BigEndian32(bytes + at + 4);
    at += 8;
    if (length > size - at) return false;
    if (type == kEnd) break;
    at += length;
    at += std::min<size_t>(4, size - at);  // CRC
  }
  return true;
}

}  // namespace

namespace palette {

bool ReadPngSize(const uint8_t* bytes, size_t size, int& width, int& height, std::string& reason) {
  if (!ChunksFitTheFile(bytes, size)) {
    reason = msg::PngChunkTooLong;
    return false;
  }
  return StbPictureSize(stbi__png_info, bytes, size, width, height, reason);
}

bool DecodePngRgb(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgb,
                  std::string& reason) {
  if (!ChunksFitTheFile(bytes, size)) {
    reason = msg::PngChunkTooLong;
    return false;
  }
  return StbDecodeRgb(bytes, size, width, height, rgb, reason);
}

}  // namespace palette
