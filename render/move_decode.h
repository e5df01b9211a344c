// Decoding a Move inside the splat loops. A Move is three bytes: byte 0 =
// MoveCode << 3 | NormalIndex bits 10..8, byte 1 = NormalIndex bits 7..0,
// byte 2 = palette index. The first two bytes read as one big-endian 16-bit
// value hold the code in its top five bits and the NormalIndex in its low
// eleven.
#pragma once

#include <cstdint>
#include <cstring>

namespace zvl::render {

struct MoveBits {
  uint32_t head;    // byte 0: MoveCode << 3 | NormalIndex bits 10..8 (indexes the byte StepTable)
  uint32_t normal;  // 0..2047
  uint32_t color;   // 0..255
};

inline MoveBits DecodeMove(const uint8_t* move) {
  uint16_t firstTwo;
  std::memcpy(&firstTwo, move, 2);
#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  firstTwo = __builtin_bswap16(firstTwo);
#endif
  return MoveBits{move[0], firstTwo & 0x7FFu, move[2]};
}

// Four bytes at once for every Move but the last of a chain, whose fourth
// byte may lie past the moves.
inline MoveBits DecodeMove4(const uint8_t* move) {
  uint32_t v;
  std::memcpy(&v, move, 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  v = __builtin_bswap32(v);
#endif
  const uint32_t high = __builtin_bswap16(uint16_t(v));
  return MoveBits{v & 0xFFu, high & 0x7FFu, (v >> 16) & 0xFFu};
}

// Runs body(MoveBits) for `count` moves, two per turn of the loop.
template <class Body>
inline void ForEachMove(const uint8_t* move, int32_t count, Body&& body) {
  if (count <= 0) return;
  for (; count > 2; count -= 2, move += 6) {
    body(DecodeMove4(move));
    body(DecodeMove4(move + 3));
  }
  if (count == 2) body(DecodeMove4(move)), move += 3;
  body(DecodeMove(move));
}

}  // namespace zvl::render
