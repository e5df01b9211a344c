// Scene handlers: creation and its failures, the shared tile's lifetime, the
// colour-model conversions and the colour table built from a palette.
#include <cstdlib>
#include <map>

#include "render_test_util.h"

namespace {

using rtest::Buffers;
using rtest::HandlerPtr;

constexpr size_t TileBytes = 256 * 256 * 4 + 12;

// An allocator that counts tile allocations and frees and can be told to
// fail the n-th allocation.
struct Counting {
  static inline int allocations = 0, failAt = -1, tileAllocations = 0, tileFrees = 0;
  static inline std::map<void*, size_t> sizes;
  static void* allocate(size_t n) {
    if (allocations++ == failAt) return nullptr;
    void* p = std::malloc(n);
    sizes[p] = n;
    if (n == TileBytes) ++tileAllocations;
    return p;
  }
  static void release(void* p) {
    if (!p) return;
    if (sizes[p] == TileBytes) ++tileFrees;
    sizes.erase(p);
    std::free(p);
  }
  static void reset(int fail = -1) { allocations = 0, failAt = fail, tileAllocations = 0, tileFrees = 0; }
};

class Handler : public ::testing::Test {
 protected:
  void SetUp() override {
    rtest::SetUpRenderer();
    io_ = ZvlDefaultIoFunctions();
    io_.allocate = Counting::allocate;
    io_.free = Counting::release;
    Counting::reset();
    ASSERT_EQ(ZvlSetup(&io_), 0);
  }
  void TearDown() override {
    EXPECT_EQ(ZvlLiveHandlerCount(), 0);
    EXPECT_TRUE(Counting::sizes.empty()) << "renderer memory left allocated";
    rtest::SetUpRenderer();
  }
  ZvlIoFunctions io_;
  std::vector<uint16_t> table16_ = rtest::IndexTable16();
};

TEST_F(Handler, TileLivesFromFirstToLastHandler) {
  Buffers<uint16_t> a(16, 16), b(32, 8);
  HandlerPtr h1(ZvlCreateScnHandler(0, table16_.data(), nullptr, &a.desc));
  HandlerPtr h2(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
  ASSERT_TRUE(h1 && h2);
  EXPECT_EQ(Counting::tileAllocations, 1);
  EXPECT_EQ(ZvlLiveHandlerCount(), 2);
  h1.reset();
  EXPECT_TRUE(ZvlSplatTileExists());
  EXPECT_EQ(Counting::tileFrees, 0);
  h2.reset();
  EXPECT_FALSE(ZvlSplatTileExists());
  EXPECT_EQ(Counting::tileFrees, 1);
  // A third handler gets a fresh tile, wholly empty.
  HandlerPtr h3(ZvlCreateScnHandler(0, table16_.data(), nullptr, &a.desc));
  ASSERT_TRUE(h3);
  EXPECT_EQ(Counting::tileAllocations, 2);
  EXPECT_TRUE(ZvlSplatTileIsEmpty());
}

TEST_F(Handler, CopiesTablesAndSetsClipAndPitches) {
  Buffers<uint16_t> buffers(40, 30);
  std::vector<uint16_t> shadow(ZvlShadowTableSize16, 7);
  HandlerPtr h(ZvlCreateScnHandler(ZvlInvertedDepth, table16_.data(), shadow.data(), &buffers.desc));
  ASSERT_TRUE(h);
  table16_[5] = 999;  // the handler holds its own copy
  EXPECT_EQ(static_cast<uint16_t*>(h->colorTable)[5], 5);
  EXPECT_EQ(static_cast<uint16_t*>(h->shadowTable)[1234], 7);
  EXPECT_EQ(h->clip, ZvlMakeRect(0, 0, 39, 29));
  EXPECT_EQ(h->colorPitch, 40);
  EXPECT_EQ(h->depthPitch, 40);
  EXPECT_TRUE(h->drawn.empty());
  EXPECT_EQ(h->flags, ZvlInvertedDepth);
  EXPECT_EQ(h->buffer, &buffers.desc);
}

TEST_F(Handler, CreationFailures) {
  Buffers<uint16_t> buffers(8, 8);
  EXPECT_EQ(ZvlCreateScnHandler(0, nullptr, nullptr, &buffers.desc), nullptr);
  EXPECT_STREQ(ZvlGetErrorText(), "No ColorTab parameter");
  buffers.desc.pixelSize = 3;
  EXPECT_EQ(ZvlCreateScnHandler(0, table16_.data(), nullptr, &buffers.desc), nullptr);
  EXPECT_STREQ(ZvlGetErrorText(), "Unsupported pixel size");
  buffers.desc.pixelSize = 2;
  std::vector<uint16_t> shadow(ZvlShadowTableSize16);
  const char* expected[] = {"No room for internal buffer", "No room for handler", "No room for color table",
                            "No room for color table"};
  for (int fail = 0; fail < 4; ++fail) {
    Counting::reset(fail);
    EXPECT_EQ(ZvlCreateScnHandler(0, table16_.data(), shadow.data(), &buffers.desc), nullptr);
    EXPECT_STREQ(ZvlGetErrorText(), expected[fail]);
    EXPECT_FALSE(ZvlSplatTileExists());
    EXPECT_TRUE(Counting::sizes.empty());
  }
}

TEST_F(Handler, ShadowTableNeedsOneFromCreation) {
  Buffers<uint8_t> buffers(8, 8);
  const auto table8 = rtest::IndexTable8();
  HandlerPtr without(ZvlCreateScnHandler(0, table8.data(), nullptr, &buffers.desc));
  std::vector<uint8_t> shadow(256, 3);
  EXPECT_EQ(ZvlSetShadowTable(without.get(), shadow.data()), 1);
  EXPECT_STREQ(ZvlGetErrorText(), "Handler has no shadow table");
  HandlerPtr with(ZvlCreateScnHandler(0, table8.data(), shadow.data(), &buffers.desc));
  shadow.assign(256, 9);
  EXPECT_EQ(ZvlSetShadowTable(with.get(), shadow.data()), 0);
  EXPECT_EQ(static_cast<uint8_t*>(with->shadowTable)[200], 9);
}

TEST_F(Handler, ColorModelRoundTripOverEveryValue) {
  Buffers<uint16_t> buffers(8, 8);
  // Every 5-5-5 value, 6144 at a time.
  for (int base = 0; base < 32768; base += ZvlColorIndexCount) {
    std::vector<uint16_t> table(ZvlColorIndexCount);
    for (int i = 0; i < ZvlColorIndexCount; ++i) table[i] = uint16_t((base + i) & 0x7FFF);
    HandlerPtr h(ZvlCreateScnHandler(0, table.data(), nullptr, &buffers.desc));
    ASSERT_TRUE(h);
    auto* t = static_cast<uint16_t*>(h->colorTable);
    ASSERT_EQ(ZvlColorTableTo565(h.get()), 0);
    for (int i = 0; i < ZvlColorIndexCount; ++i) {
      const uint16_t v = table[i];
      // Red and green one bit up, blue in place, the new low green bit 0.
      ASSERT_EQ(t[i] >> 11, v >> 10);
      ASSERT_EQ((t[i] >> 6) & 31, (v >> 5) & 31);
      ASSERT_EQ(t[i] & 0x3F, v & 0x1F);
    }
    ASSERT_EQ(ZvlColorTableTo555(h.get()), 0);
    ASSERT_TRUE(std::equal(table.begin(), table.end(), t));
  }
  const auto table8 = rtest::IndexTable8();
  Buffers<uint8_t> small(8, 8);
  HandlerPtr h8(ZvlCreateScnHandler(0, table8.data(), nullptr, &small.desc));
  EXPECT_EQ(ZvlColorTableTo565(h8.get()), 1);
  EXPECT_STREQ(ZvlGetErrorText(), "Invalid color buffer depth");
  EXPECT_EQ(ZvlColorTableTo555(h8.get()), 1);
}

TEST_F(Handler, WidthZeroGivesEmptyClipAndDrawsNothing) {
  Buffers<uint16_t> buffers(0, 10);
  HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &buffers.desc));
  ASSERT_TRUE(h);
  EXPECT_EQ(h->clip.width, 0);
  EXPECT_EQ(h->clip.height, 0);
  const rtest::Part part = rtest::MakePart({{rtest::Pixel(0, 0, 0)}});
  const float position[3] = {0, 0, 100};
  ZvlDrawObject(h.get(), part.view(), position, rtest::Identity, ZvlMakeRect(0, 0, 9, 9), rtest::LightZ, 1, 1,
                DrawMode::Fill);
  EXPECT_TRUE(h->drawn.empty());
  EXPECT_TRUE(buffers.guardsIntact());
  EXPECT_TRUE(ZvlSplatTileIsEmpty());
}

TEST(ColorTableFromPalette, ShadesRunFromTenPercentToFull) {
  ZorvelPalette palette;
  palette.colors[7][0] = palette.colors[7][1] = palette.colors[7][2] = 255;  // white
  palette.colors[9][0] = 200, palette.colors[9][1] = 100, palette.colors[9][2] = 8;
  for (int s = 0; s < 24; ++s) palette.shades[s][3] = 7, palette.shades[s][4] = 9;
  palette.shades[15][5] = 9;  // what an old file's row 15 holds
  std::vector<uint16_t> table(ZvlColorIndexCount);
  ZvlBuildColorTable16(palette, 8.1f, table.data());
  // Shade 0 of white: 25.5 cut to 25.
  EXPECT_EQ(table[(0 << 8) | 3], (3 << 10) | (24 << 2) | 3);
  EXPECT_EQ(table[(23 << 8) | 3], 0x7FFF);
  EXPECT_EQ(table[(23 << 8) | 4], ((200 >> 3) << 10) | ((100 & 0xF8) << 2) | (8 >> 3));
  for (int s = 1; s < 24; ++s) EXPECT_GE(table[(s << 8) | 3] >> 10, table[((s - 1) << 8) | 3] >> 10);
  // Files before 7.1 take their colour from row 15.
  ZvlBuildColorTable16(palette, 7.0f, table.data());
  EXPECT_EQ(table[(23 << 8) | 5], ((200 >> 3) << 10) | ((100 & 0xF8) << 2) | (8 >> 3));
}

}  // namespace
