// stb_image's JPEG decoder alone (see stb_decoder.h).
#include "palette/stb_decoder.h"

#define STBI_ONLY_JPEG
#include "palette/stb_one_decoder.h"

namespace {

// This copy of the decoder builds a Huffman table from the 16 code counts
// of a DHT segment without checking that they add up to at most 256, and
// writes a longer table past the end of its arrays. Such a table only occurs
// in a damaged file, so the file is refused before the decoder sees it. The
// decoder reads a table only right after the bytes FF C4 (a marker, possibly
// after fill bytes FF), so each such place is read the way the decoder
// would read it, bytes past the end as 0. A file with more such places than
// any real picture carries is refused too, which keeps the check linear.
constexpr int kMaxHuffmanSegments = 1024;

bool HuffmanTablesFit(const uint8_t* bytes, size_t size) {
  const auto at = [&](size_t i) -> int { return i < size ? bytes[i] : 0; };
  int segments = 0;
  for (size_t p = 0; p + 1 < size; ++p) {
    if (bytes[p] != 0xFF || bytes[p + 1] != 0xC4) continue;
    if (++segments > kMaxHuffmanSegments) return false;
    size_t i = p + 2;
    long length = long(at(i) << 8 | at(i + 1)) - 2;
    i += 2;
    while (length > 0 && i < size) {
      const int q = at(i++);
      if ((q >> 4) > 1 || (q & 15) > 3) break;  // the decoder stops at this header
      int count = 0;
      for (int k = 0; k < 16; ++k) count += at(i++);
      if (count > 256) return false;
      i += size_t(count);
      length -= 17 + count;
    }
  }
  return true;
}

}  // namespace

namespace palette {

bool ReadJpegSize(const uint8_t* bytes, size_t size, int& width, int& height, std::string& reason) {
  if (!HuffmanTablesFit(bytes, size)) {
    reason = msg::JpegHuffmanTable;
    return false;
  }
  return StbPictureSize(stbi__jpeg_info, bytes, size, width, height, reason);
}

bool DecodeJpegRgb(const uint8_t* bytes, size_t size, int& width, int& height, std::vector<uint8_t>& rgb,
                   std::string& reason) {
  if (!HuffmanTablesFit(bytes, size)) {
    reason = msg::JpegHuffmanTable;
    return false;
  }
  return StbDecodeRgb(bytes, size, width, height, rgb, reason);
}

}  // namespace palette
