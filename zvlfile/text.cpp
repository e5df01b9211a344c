#include "zvlfile/text.h"

#include <cstdint>

namespace {

// Length of the well-formed UTF-8 sequence at `at`, or 0 (no overlongs, no
// surrogates, nothing above U+10FFFF).
size_t sequenceLength(std::string_view s, size_t at) {
  const auto byte = [&](size_t i) { return uint8_t(s[at + i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint8_t low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead == 0xE0) length = 3, low = 0xA0;
  else if (lead >= 0xE1 && lead <= 0xEC) length = 3;
  else if (lead == 0xED) length = 3, high = 0x9F;
  else if (lead >= 0xEE && lead <= 0xEF) length = 3;
  else if (lead == 0xF0) length = 4, low = 0x90;
  else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
  else if (lead == 0xF4) length = 4, high = 0x8F;
  else return 0;
  if (s.size() - at < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

std::string ZvlNameAsUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = sequenceLength(bytes, at);
    if (length == 0) {
      text += "\xEF\xBF\xBD";
      ++at;
    } else {
      text.append(bytes.substr(at, length));
      at += length;
    }
  }
  return text;
}
