// One row of the 1:1 compositor into a 16-bit frame, eight tile words at a
// time where the processor has SSE2 (every x86-64 one).
//
// Per group of eight: the depths are the words' high halves, compared with
// the frame's eight depths as 16-bit lanes (unsigned, by flipping the top
// bit); the colour table is read once per word; the winners' depths and
// pixel values are blended into the frame rows, the rest keep theirs. The
// words are emptied. Any words left over (fewer than eight) go through
// `tail`, the compositor's word-by-word step.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/tile.h"

namespace zvl::render {

template <bool Inverted, class Tail>
[[gnu::always_inline]] inline void CompositeRow16(uint32_t* row, int count, const uint16_t* table, uint16_t* color,
                                                  uint16_t* depth, Tail&& tail) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i empty = _mm_set1_epi32(int32_t(TileEmpty));
  const __m128i topBit = _mm_set1_epi16(int16_t(0x8000));
  for (; i + 8 <= count; i += 8) {
    uint32_t* words = row + i;
    // The pixel values first, word by word from the low halves.
    auto fresh = [&](int k) {
      uint32_t word;
      std::memcpy(&word, words + k, 4);
      return int16_t(table[word & 0xFFFFu]);
    };
    const __m128i newColor =
        _mm_set_epi16(fresh(7), fresh(6), fresh(5), fresh(4), fresh(3), fresh(2), fresh(1), fresh(0));
    const __m128i w0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words));
    const __m128i w1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(words), empty);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(words + 4), empty);
    // High halves, sign-extended and packed back: the same 16 bits each.
    __m128i value = _mm_packs_epi32(_mm_srai_epi32(w0, 16), _mm_srai_epi32(w1, 16));
    if (Inverted) value = _mm_xor_si128(value, _mm_set1_epi16(-1));  // 65535 - depth
    const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(depth + i));
    const __m128i a = _mm_xor_si128(value, topBit), b = _mm_xor_si128(stored, topBit);
    const __m128i wins = Inverted ? _mm_cmpgt_epi16(a, b) : _mm_cmplt_epi16(a, b);
    const __m128i oldColor = _mm_loadu_si128(reinterpret_cast<const __m128i*>(color + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(depth + i),
                     _mm_or_si128(_mm_and_si128(wins, value), _mm_andnot_si128(wins, stored)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(color + i),
                     _mm_or_si128(_mm_and_si128(wins, newColor), _mm_andnot_si128(wins, oldColor)));
  }
#endif
  for (; i < count; ++i) tail(row[i], color[i], depth[i]);
}

}  // namespace zvl::render
