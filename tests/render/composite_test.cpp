// The 1:1 compositor into 16-bit frames, which takes eight words at a time:
// on random words, depths and widths it leaves what the rule word by word
// gives (nearer wins strictly; inverted: 65535 - depth, greater wins) and
// empties the words it read, and nothing else.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/writers.h"
#include "render_test_util.h"

namespace {

using namespace zvl::render;

TEST(Composite16, EightAtATimeEqualsWordByWord) {
  std::mt19937 rng(17);
  std::vector<uint16_t> table(ZvlColorIndexCount);
  for (auto& v : table) v = uint16_t(rng());
  constexpr int Pitch = 64, Rows = 3;
  for (const bool inverted : {false, true}) {
    const WriterSet* writers = FindWriterSet(ZvlWriterSetKind::Plain, 2, inverted);
    for (int round = 0; round < 200; ++round) {
      std::vector<uint32_t> tile(TileWords, TileEmpty);
      std::vector<uint16_t> color(Pitch * Rows), depth(Pitch * Rows);
      for (auto& v : color) v = uint16_t(rng());
      // Depths near one another and on both sides of 32768, so that ties,
      // both outcomes and the unsigned order all matter.
      for (auto& v : depth) v = uint16_t(32764 + rng() % 8);
      const int x0 = int(rng() % 40), width = 1 + int(rng() % 40), left = int(rng() % (Pitch - width + 1));
      for (int y = 0; y < Rows; ++y)
        for (int x = x0; x < x0 + width; ++x)
          if (rng() % 4) tile[y * TileSize + x] = ((32764u + rng() % 8) << 16) | (rng() % ZvlColorIndexCount);
      std::vector<uint16_t> wantColor = color, wantDepth = depth;
      for (int y = 0; y < Rows; ++y) {
        for (int x = x0; x < x0 + width; ++x) {
          const uint32_t word = tile[y * TileSize + x];
          const uint16_t value = inverted ? uint16_t(0xFFFF - (word >> 16)) : uint16_t(word >> 16);
          uint16_t& d = wantDepth[y * Pitch + left + x - x0];
          if (inverted ? value > d : value < d) {
            d = value;
            wantColor[y * Pitch + left + x - x0] = table[word & 0xFFFF];
          }
        }
      }
      CompositeJob job;
      job.tile = tile.data();
      job.color = color.data();
      job.colorPitch = Pitch;
      job.depth = depth.data();
      job.depthPitch = Pitch;
      job.colorTable = table.data();
      job.cells = ZvlMakeRect(x0, 0, x0 + width - 1, Rows - 1);
      job.left = left;
      writers->composite(job);
      ASSERT_EQ(color, wantColor) << "round " << round << " inverted " << inverted;
      ASSERT_EQ(depth, wantDepth) << "round " << round << " inverted " << inverted;
      ASSERT_TRUE(std::all_of(tile.begin(), tile.end(), [](uint32_t w) { return w == TileEmpty; }));
    }
  }
}

}  // namespace
