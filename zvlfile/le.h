// Little-endian field access for the byte layouts of ZVL and VOX files.
// Every multi-byte value of those files goes through these helpers; nothing
// casts a struct onto a buffer.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace zvl::le {

inline uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline int16_t i16(const uint8_t* p) { return int16_t(u16(p)); }
inline uint32_t u32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t i32(const uint8_t* p) { return int32_t(u32(p)); }
inline float f32(const uint8_t* p) {
  uint32_t bits = u32(p);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

inline void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline void putI16(uint8_t* p, int16_t v) { put16(p, uint16_t(v)); }
inline void putI32(uint8_t* p, int32_t v) { put32(p, uint32_t(v)); }
inline void putF32(uint8_t* p, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  put32(p, bits);
}

// Appending a field to a growing byte buffer (file writers, test files).
inline void append16(std::vector<uint8_t>& out, uint16_t v) {
  uint8_t b[2];
  put16(b, v);
  out.insert(out.end(), b, b + 2);
}
inline void append32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  put32(b, v);
  out.insert(out.end(), b, b + 4);
}
inline void appendF32(std::vector<uint8_t>& out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  append32(out, bits);
}

}  // namespace zvl::le
