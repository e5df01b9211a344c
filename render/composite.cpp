// The compositors, the resolve writers and the clear writer, one group per
// (pixel size, depth convention), and the writer sets built from them.
//
// Every loop writes without branches (a pixel keeps its value where the
// test fails): which pixels win is data-dependent and would be mispredicted.
//
// Depth test: normal convention, a word is stored when its depth is
// strictly smaller than the buffer's; inverted, when 65535 - depth is
// strictly greater. Shadows mark only pixels whose depth is still the
// background value, so a pixel is shadowed at most once per frame and never
// where an object was drawn.
#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/composite_row.h"
#include "render/writers.h"

namespace zvl::render {
namespace {

template <bool Inverted>
struct Depth {
  static constexpr uint16_t Background = Inverted ? ZvlDepthBackgroundInverted : ZvlDepthBackground;
  static constexpr uint16_t ShadowMark = Inverted ? ZvlDepthShadowMarkInverted : ZvlDepthShadowMark;
  // The value to store for a word's depth, and whether it beats `stored`.
  static uint16_t Of(uint32_t word) { return Inverted ? uint16_t(0xFFFFu - (word >> 16)) : uint16_t(word >> 16); }
  static bool Wins(uint16_t value, uint16_t stored) { return Inverted ? value > stored : value < stored; }
};

template <class Pixel>
Pixel* ColorRow(const CompositeJob& job, int y) {
  return static_cast<Pixel*>(job.color) + ptrdiff_t(y) * job.colorPitch;
}
inline uint16_t* DepthRow(const CompositeJob& job, int y) { return job.depth + ptrdiff_t(y) * job.depthPitch; }

// One tile word against one screen pixel: the nearer depth wins, written
// without branches.
template <class Pixel, bool Inverted>
[[gnu::always_inline]] inline void Merge(uint32_t word, Pixel fresh, Pixel& color, uint16_t& depth) {
  const uint16_t value = Depth<Inverted>::Of(word), stored = depth;
  const bool wins = Depth<Inverted>::Wins(value, stored);
  const Pixel old = color;
  depth = wins ? value : stored;
  color = wins ? fresh : old;
}

// A covered background pixel is darkened once and marked, so a second
// shadow leaves it alone and objects are never darkened.
template <class Pixel, bool Inverted>
[[gnu::always_inline]] inline void MarkShadow(bool covered, const Pixel* shadow, Pixel& color, uint16_t& depth) {
  const uint16_t stored = depth;
  const bool marks = covered && stored == Depth<Inverted>::Background;
  const Pixel old = color, darker = shadow[old];
  depth = marks ? Depth<Inverted>::ShadowMark : stored;
  color = marks ? darker : old;
}

// 1:1: cell (x, y) of job.cells goes to screen (left + x - x0, top + y - y0).
// Without branches: an empty word (depth 65535, ColorIndex 0) never wins, so
// it needs no test of its own, and whether a word wins is data-dependent.
// 16-bit frames take eight words at a time (composite_row.h).
template <class Pixel, bool Inverted>
void Composite(const CompositeJob& job) {
  const Pixel* table = static_cast<const Pixel*>(job.colorTable);
  const int x0 = job.cells.x0, y0 = job.cells.y0, y1 = job.cells.y1;
  const int count = job.cells.x1 - x0 + 1;
  auto merge = [table](uint32_t& cell, Pixel& color, uint16_t& depth) {
    const uint32_t word = cell;
    cell = TileEmpty;
    Merge<Pixel, Inverted>(word, table[word & 0xFFFFu], color, depth);
  };
  for (int cy = y0; cy <= y1; ++cy) {
    uint32_t* row = job.tile + cy * TileSize + x0;
    const int sy = job.top + cy - y0;
    Pixel* color = ColorRow<Pixel>(job, sy) + job.left;
    uint16_t* depth = DepthRow(job, sy) + job.left;
    if constexpr (sizeof(Pixel) == 2) {
      CompositeRow16<Inverted>(row, count, table, color, depth, merge);
    } else {
      for (int i = 0; i < count; ++i) merge(row[i], color[i], depth[i]);
    }
  }
}

// Magnified and doubled: every screen pixel of job.screen takes the cell it
// lies in (32.32 tile coordinates stepped by job.step, clamped to the cells).
// Resolved words carry their pixel value; unresolved ones are looked up.
template <class Pixel, bool Inverted, bool Resolved>
void CompositeScaled(const CompositeJob& job) {
  const Pixel* table = static_cast<const Pixel*>(job.colorTable);
  const ZvlRect& s = job.screen;
  const uint64_t lastColumn = uint64_t(job.cells.x1), lastRow = uint64_t(job.cells.y1);
  uint64_t ty = job.ty0;
  for (int sy = s.y0; sy <= s.y1; ++sy, ty += job.step) {
    const uint32_t* row = job.tile + std::min(ty >> 32, lastRow) * TileSize;
    Pixel* color = ColorRow<Pixel>(job, sy);
    uint16_t* depth = DepthRow(job, sy);
    uint64_t tx = job.tx0;
    for (int sx = s.x0; sx <= s.x1; ++sx, tx += job.step) {
      const uint32_t word = row[std::min(tx >> 32, lastColumn)];
      Merge<Pixel, Inverted>(word, Resolved ? Pixel(word) : table[word & 0xFFFFu], color[sx], depth[sx]);
    }
  }
}

template <class Pixel, bool Inverted>
void ShadowComposite(const CompositeJob& job) {
  const Pixel* shadow = static_cast<const Pixel*>(job.shadowTable);
  const ZvlRect& cells = job.cells;
  for (int cy = cells.y0; cy <= cells.y1; ++cy) {
    uint32_t* row = job.tile + cy * TileSize;
    const int sy = job.top + cy - cells.y0;
    Pixel* color = ColorRow<Pixel>(job, sy) + job.left;
    uint16_t* depth = DepthRow(job, sy) + job.left;
    for (int cx = cells.x0, sx = 0; cx <= cells.x1; ++cx, ++sx) {
      const bool covered = row[cx] != TileEmpty;
      row[cx] = TileEmpty;
      MarkShadow<Pixel, Inverted>(covered, shadow, color[sx], depth[sx]);
    }
  }
}

template <class Pixel, bool Inverted>
void ShadowCompositeScaled(const CompositeJob& job) {
  const Pixel* shadow = static_cast<const Pixel*>(job.shadowTable);
  const ZvlRect& s = job.screen;
  const uint64_t lastColumn = uint64_t(job.cells.x1), lastRow = uint64_t(job.cells.y1);
  uint64_t ty = job.ty0;
  for (int sy = s.y0; sy <= s.y1; ++sy, ty += job.step) {
    const uint32_t* row = job.tile + std::min(ty >> 32, lastRow) * TileSize;
    Pixel* color = ColorRow<Pixel>(job, sy);
    uint16_t* depth = DepthRow(job, sy);
    uint64_t tx = job.tx0;
    for (int sx = s.x0; sx <= s.x1; ++sx, tx += job.step) {
      const bool covered = row[std::min(tx >> 32, lastColumn)] != TileEmpty;
      MarkShadow<Pixel, Inverted>(covered, shadow, color[sx], depth[sx]);
    }
  }
}

// Replaces the ColorIndex of every non-empty word by its pixel value.
template <class Pixel>
void ResolveTile(uint32_t* tile, const ZvlRect& cells, const void* colorTable) {
  const Pixel* table = static_cast<const Pixel*>(colorTable);
  for (int cy = cells.y0; cy <= cells.y1; ++cy) {
    uint32_t* row = tile + cy * TileSize;
    for (int cx = cells.x0; cx <= cells.x1; ++cx) {
      const uint32_t word = row[cx];
      if (word != TileEmpty) row[cx] = (word & 0xFFFF0000u) | table[word & 0xFFFFu];
    }
  }
}

template <class Pixel, bool Inverted>
constexpr WriterSet MakeSet(bool packed) {
  return WriterSet{
      packed ? PackedThreePointSplat : PlainThreePointSplat,
      packed ? PackedOnePointSplat : PlainOnePointSplat,
      packed ? PackedCoverageSplat : PlainCoverageSplat,
      ClearTileRect,
      ResolveTile<Pixel>,
      Composite<Pixel, Inverted>,
      CompositeScaled<Pixel, Inverted, true>,
      CompositeScaled<Pixel, Inverted, false>,
      ShadowComposite<Pixel, Inverted>,
      ShadowCompositeScaled<Pixel, Inverted>,
      ShadowCompositeScaled<Pixel, Inverted>,
  };
}

// [packed][pixel size 1 or 2][inverted]
const WriterSet Sets[2][2][2] = {
    {{MakeSet<uint8_t, false>(false), MakeSet<uint8_t, true>(false)},
     {MakeSet<uint16_t, false>(false), MakeSet<uint16_t, true>(false)}},
    {{MakeSet<uint8_t, false>(true), MakeSet<uint8_t, true>(true)},
     {MakeSet<uint16_t, false>(true), MakeSet<uint16_t, true>(true)}},
};

}  // namespace

// Rows of a chain's rectangle are short (tens of words): written in place,
// four words per store, rather than by a call per row.
void ClearTileRect(uint32_t* tile, const ZvlRect& cells) {
  if (cells.empty()) return;
  const int count = cells.x1 - cells.x0 + 1;
  for (int cy = cells.y0; cy <= cells.y1; ++cy) {
    uint32_t* row = tile + cy * TileSize + cells.x0;
    int i = 0;
#if defined(__SSE2__)
    const __m128i empty = _mm_set1_epi32(int32_t(TileEmpty));
    for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), empty);
#endif
    for (; i < count; ++i) row[i] = TileEmpty;
  }
}

const WriterSet* FindWriterSet(ZvlWriterSetKind kind, int pixelSize, bool inverted) {
  if (pixelSize != 1 && pixelSize != 2) return nullptr;
  return &Sets[kind == ZvlWriterSetKind::Packed ? 1 : 0][pixelSize - 1][inverted ? 1 : 0];
}

}  // namespace zvl::render
