// Drawing one object: the splat writers, the compositors, clipping, modes,
// shadows and level selection, checked by properties rather than pictures.
#include <cmath>

#include "render/shade_table.h"
#include "render/writers.h"
#include "render_test_util.h"
#include "samples/sample_scene.h"

namespace {

using rtest::Buffers;
using rtest::HandlerPtr;
using rtest::Part;

// A ball of 3D pixels as one part (several chains: a complex part).
Part Ball(int radius) {
  Part part;
  part.bytes = samples::shapeObject(samples::Shape::Ball, radius, 1, 0, 12, VoxPartForm::WithZeroWord, 1.0f);
  EXPECT_TRUE(VoxListParts(part.bytes.data(), part.bytes.size(), part.parts));
  return part;
}

// A rotation by angles about z, then x, with rows scaled for the screen
// matrix (x and y rows normalised to length 1 columns at most).
void RandomMatrix(std::mt19937& rng, float m[9]) {
  std::uniform_real_distribution<float> angle(-3.14159f, 3.14159f);
  const float a = angle(rng), b = angle(rng);
  const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
  const float r[9] = {ca, -sa, 0, sa * cb, ca * cb, -sb, sa * sb, ca * sb, cb};
  std::copy(r, r + 9, m);
}

class Draw : public ::testing::Test {
 protected:
  void SetUp() override { rtest::SetUpRenderer(); }
  void TearDown() override { EXPECT_EQ(ZvlLiveHandlerCount(), 0); }
  std::vector<uint16_t> table16_ = rtest::IndexTable16();
  std::vector<uint8_t> table8_ = rtest::IndexTable8();
  std::vector<uint16_t> shadow16_ = std::vector<uint16_t>(ZvlShadowTableSize16, 0x4444);
};

// --- The splat writers -----------------------------------------------------

// The packed writers keep position and depth in one 64-bit value; on any
// steps and any start (inside the tile or wrapping around it) they leave
// exactly the plain writers' words.
TEST(SplatWriters, PackedEqualsPlainOnRandomJobs) {
  using namespace zvl::render;
  std::mt19937 rng(1234);
  std::vector<uint32_t> plain(TileWords), packed(TileWords);
  const uint16_t* shadeRow = ShadeWordRowFor(7, 30);
  for (int round = 0; round < 300; ++round) {
    std::uniform_int_distribution<int> small(-400, 400), big(-3000000, 3000000);
    uint64_t perCode[32] = {};
    for (int code = 0; code < VoxMoveCodeCount; ++code) {
      const int32_t xs = small(rng), ys = small(rng), zs = round % 3 == 0 ? big(rng) : small(rng) * 256;
      perCode[code] = (uint64_t(uint32_t(zs)) << 32) | (uint32_t(xs) + (uint32_t(ys) << 16));
    }
    StepTable steps;
    ExpandStepTable(perCode, shadeRow, steps);
    std::vector<uint8_t> moves(3 * 2000);
    for (size_t i = 0; i < moves.size(); i += 3) {
      moves[i] = uint8_t((rng() % VoxMoveCodeCount) << 3 | (rng() & 7));
      moves[i + 1] = uint8_t(rng());
      moves[i + 2] = uint8_t(rng());
    }
    SplatJob job;
    job.moves = moves.data();
    job.count = int32_t(moves.size() / 3);
    job.steps = &steps;
    job.shadeRow = shadeRow;
    job.position = round % 2 ? uint32_t(rng()) : 0x80008000u;
    job.depth = uint32_t(rng()) & 0xFFFFFF00u;
    job.offset1 = uint32_t(small(rng) / 2) + (uint32_t(small(rng) / 2) << 16);
    job.offset2 = uint32_t(small(rng) / 2) + (uint32_t(small(rng) / 2) << 16);
    for (int kind = 0; kind < 2; ++kind) {
      std::fill(plain.begin(), plain.end(), TileEmpty);
      std::fill(packed.begin(), packed.end(), TileEmpty);
      job.tile = plain.data();
      (kind == 0 ? PlainOnePointSplat : PlainThreePointSplat)(job);
      job.tile = packed.data();
      (kind == 0 ? PackedOnePointSplat : PackedThreePointSplat)(job);
      ASSERT_EQ(plain, packed) << "round " << round << " kind " << kind;
    }
  }
}

TEST(SplatWriters, EqualDepthKeepsSmallerColorIndex) {
  for (const bool colorsUp : {true, false}) {
    const uint8_t first = colorsUp ? 3 : 7, second = colorsUp ? 7 : 3;
    const Part part = rtest::MakePart({{rtest::Pixel(0, 0, 0, first), rtest::Pixel(1, 0, 0, second)}});
    rtest::SetUpRenderer();
    Buffers<uint16_t> buffers(16, 16);
    const auto table = rtest::IndexTable16();
    HandlerPtr h(ZvlCreateScnHandler(0, table.data(), nullptr, &buffers.desc));
    // Both 3D pixels land in one cell at one depth: scale 0.1, flat z row.
    const float flat[9] = {1, 0, 0, 0, 1, 0, 0, 0, 0};
    const float position[3] = {8.5f, 8.5f, 1000};
    ZvlDrawObject(h.get(), part.view(), position, flat, rtest::WholeClip(16, 16), rtest::LightZ, 0.1f, 0.1f,
                  DrawMode::Fill);
    ASSERT_EQ(buffers.drawnCount(), 1);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        if (buffers.z(x, y) != 0xFFFF) {
          EXPECT_EQ(buffers.at(x, y) & 0xFF, 3);
        }
      }
    }
  }
}

// --- Whole draws -------------------------------------------------------------

struct RandomDraw {
  float position[3];
  float matrix[9];
  float scale, zscale;
  DrawMode mode;
  bool shadow;
};

RandomDraw MakeRandomDraw(std::mt19937& rng, int width, int height) {
  RandomDraw d;
  std::uniform_real_distribution<float> x(-60.0f, width + 60.0f), y(-60.0f, height + 60.0f), z(2000, 60000);
  std::uniform_real_distribution<float> scale(0.2f, 3.0f);
  d.position[0] = x(rng), d.position[1] = y(rng), d.position[2] = std::floor(z(rng)) + 0.25f;
  RandomMatrix(rng, d.matrix);
  d.scale = scale(rng);
  d.zscale = scale(rng) * 4;
  d.mode = DrawMode(rng() % 3);
  d.shadow = rng() % 4 == 0;
  return d;
}

template <class PixelT>
void Apply(ScnHandler* h, const VoxPartView& part, const RandomDraw& d, int width, int height, float zOverride = -1) {
  float position[3] = {d.position[0], d.position[1], zOverride >= 0 ? zOverride : d.position[2]};
  const float light[3] = {0.3f, -0.5f, 0.8f};
  if (d.shadow)
    ZvlDrawShadow(h, part, position, d.matrix, rtest::WholeClip(width, height), d.scale, d.zscale, d.mode);
  else
    ZvlDrawObject(h, part, position, d.matrix, rtest::WholeClip(width, height), light, d.scale, d.zscale, d.mode);
}

std::vector<Part> RandomParts(std::mt19937& rng) {
  std::vector<Part> parts;
  parts.push_back(Ball(12));
  parts.push_back(Ball(40));
  for (int i = 0; i < 4; ++i) {
    std::vector<std::vector<VoxPixel>> chains;
    const int chainCount = 1 + int(rng() % 3);
    for (int c = 0; c < chainCount; ++c) chains.push_back(rtest::RandomChain(rng, 50 + int(rng() % 400), 30 + 20 * c));
    parts.push_back(rtest::MakePart(chains));
  }
  return parts;
}

// Every draw leaves the tile empty, whatever was clipped, skipped or
// magnified, and nothing is written outside the buffers.
TEST_F(Draw, TileIsEmptyAfterEveryDraw) {
  std::mt19937 rng(77);
  const auto parts = RandomParts(rng);
  Buffers<uint16_t> b16(120, 90);
  Buffers<uint8_t> b8(97, 61);
  std::vector<uint16_t> shadow16(ZvlShadowTableSize16, 1);
  std::vector<uint8_t> shadow8(256, 1);
  HandlerPtr h16(ZvlCreateScnHandler(0, table16_.data(), shadow16.data(), &b16.desc));
  HandlerPtr h8(ZvlCreateScnHandler(ZvlInvertedDepth, table8_.data(), shadow8.data(), &b8.desc));
  for (int i = 0; i < 400; ++i) {
    const Part& part = parts[rng() % parts.size()];
    const RandomDraw d = MakeRandomDraw(rng, 120, 90);
    if (i % 2)
      Apply<uint16_t>(h16.get(), part.view(), d, 120, 90);
    else
      Apply<uint8_t>(h8.get(), part.view(), d, 97, 61);
    ASSERT_TRUE(ZvlSplatTileIsEmpty()) << "draw " << i;
  }
  EXPECT_GT(b16.drawnCount(), 0);
  EXPECT_TRUE(b16.guardsIntact());
  EXPECT_TRUE(b8.guardsIntact());
}

// The drawn rectangle covers every pixel written and lies in the buffer.
TEST_F(Draw, DrawnRectangleCoversWhatWasWritten) {
  std::mt19937 rng(5);
  const auto parts = RandomParts(rng);
  for (int i = 0; i < 120; ++i) {
    Buffers<uint16_t> b(100, 80);
    HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
    RandomDraw d = MakeRandomDraw(rng, 100, 80);
    d.shadow = false;
    Apply<uint16_t>(h.get(), parts[rng() % parts.size()].view(), d, 100, 80);
    const ZvlRect r = h->drawn;
    if (b.drawnCount() > 0) {
      ASSERT_FALSE(r.empty());
    }
    if (r.empty()) continue;
    EXPECT_GE(r.x0, 0);
    EXPECT_GE(r.y0, 0);
    EXPECT_LE(r.x1, 99);
    EXPECT_LE(r.y1, 79);
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 100; ++x) {
        if (b.z(x, y) != 0xFFFF) {
          ASSERT_TRUE(x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1);
        }
      }
    }
  }
}

// The packed writer set draws the same frames as the plain one.
TEST_F(Draw, PackedAndPlainSetsDrawTheSameFrames) {
  std::mt19937 rng(99);
  const auto parts = RandomParts(rng);
  Buffers<uint16_t> plain(128, 96), packed(128, 96);
  std::vector<uint16_t> shadow(ZvlShadowTableSize16);
  for (size_t i = 0; i < shadow.size(); ++i) shadow[i] = uint16_t(i ^ 0x5555);
  HandlerPtr hp(ZvlCreateScnHandler(0, table16_.data(), shadow.data(), &plain.desc));
  HandlerPtr hq(ZvlCreateScnHandler(0, table16_.data(), shadow.data(), &packed.desc));
  ZvlUseWriterSet(hp.get(), ZvlWriterSetKind::Plain);
  ZvlUseWriterSet(hq.get(), ZvlWriterSetKind::Packed);
  for (int i = 0; i < 300; ++i) {
    const Part& part = parts[rng() % parts.size()];
    const RandomDraw d = MakeRandomDraw(rng, 128, 96);
    Apply<uint16_t>(hp.get(), part.view(), d, 128, 96);
    Apply<uint16_t>(hq.get(), part.view(), d, 128, 96);
    ASSERT_EQ(hp->drawn, hq->drawn) << "draw " << i;
  }
  EXPECT_EQ(plain.color, packed.color);
  EXPECT_EQ(plain.depth, packed.depth);
  EXPECT_GT(plain.drawnCount(), 1000);
}

// The inverted convention stores 65535 - depth and keeps the same colours:
// drawing at 65535 - z gives the mirrored depth buffer.
TEST_F(Draw, InvertedDepthMirrorsTheDepthBuffer) {
  std::mt19937 rng(31);
  const auto parts = RandomParts(rng);
  Buffers<uint16_t> normal(110, 70), inverted(110, 70, 0, 0);
  HandlerPtr hn(ZvlCreateScnHandler(0, table16_.data(), nullptr, &normal.desc));
  HandlerPtr hi(ZvlCreateScnHandler(ZvlInvertedDepth, table16_.data(), nullptr, &inverted.desc));
  for (int i = 0; i < 150; ++i) {
    const Part& part = parts[rng() % parts.size()];
    RandomDraw d = MakeRandomDraw(rng, 110, 70);
    d.shadow = false;
    Apply<uint16_t>(hn.get(), part.view(), d, 110, 70);
    Apply<uint16_t>(hi.get(), part.view(), d, 110, 70, 65535.0f - d.position[2]);
  }
  ASSERT_GT(normal.drawnCount(), 500);
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 110; ++x) {
      ASSERT_EQ(inverted.z(x, y), 65535 - normal.z(x, y));
      ASSERT_EQ(inverted.at(x, y), normal.at(x, y));
    }
}

// An object straddling an edge draws exactly the visible part of what it
// draws in a larger buffer, and nothing else.
TEST_F(Draw, ClippedDrawIsTheVisibleWindowOfTheWhole) {
  const Part ball = Ball(20);
  struct Case {
    float x, y;
  };
  const Case edges[] = {{3.25f, 40.5f}, {50.75f, 2.5f}, {97.5f, 40.25f}, {50.25f, 78.75f}, {-8.5f, -6.25f}};
  const std::pair<DrawMode, float> modes[] = {
      {DrawMode::Fill, 0.9f}, {DrawMode::Fill, 2.5f}, {DrawMode::Pack, 1.0f}, {DrawMode::Stretch, 1.0f}};
  float m[9];
  std::mt19937 rng(8);
  RandomMatrix(rng, m);
  for (const auto& [mode, scale] : modes) {
    for (const Case& c : edges) {
      Buffers<uint16_t> small(100, 80), big(300, 280);
      HandlerPtr hs(ZvlCreateScnHandler(0, table16_.data(), nullptr, &small.desc));
      HandlerPtr hb(ZvlCreateScnHandler(0, table16_.data(), nullptr, &big.desc));
      const float ps[3] = {c.x, c.y, 30000}, pb[3] = {c.x + 100, c.y + 100, 30000};
      ZvlDrawObject(hs.get(), ball.view(), ps, m, rtest::WholeClip(100, 80), rtest::LightZ, scale, 2, mode);
      ZvlDrawObject(hb.get(), ball.view(), pb, m, rtest::WholeClip(300, 280), rtest::LightZ, scale, 2, mode);
      ASSERT_TRUE(ZvlSplatTileIsEmpty());
      ASSERT_TRUE(small.guardsIntact());
      int visible = 0;
      for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
          ASSERT_EQ(small.z(x, y), big.z(x + 100, y + 100)) << int(mode) << " " << scale << " at " << c.x << "," << c.y;
          ASSERT_EQ(small.at(x, y), big.at(x + 100, y + 100))
              << int(mode) << " " << scale << " at " << c.x << "," << c.y;
          visible += small.z(x, y) != 0xFFFF;
        }
      EXPECT_GT(visible, 0);
      EXPECT_LT(visible, big.drawnCount());
    }
  }
}

// Positions count from the clip rectangle's origin; nothing outside the
// clip rectangle is touched.
TEST_F(Draw, ClipRectangleOriginAndBounds) {
  const Part ball = Ball(15);
  Buffers<uint16_t> clipped(100, 80), whole(100, 80);
  HandlerPtr hc(ZvlCreateScnHandler(0, table16_.data(), nullptr, &clipped.desc));
  HandlerPtr hw(ZvlCreateScnHandler(0, table16_.data(), nullptr, &whole.desc));
  const ZvlRect clip = ZvlMakeRect(20, 10, 59, 49);
  const float inClip[3] = {30.5f, 25.5f, 20000}, inBuffer[3] = {50.5f, 35.5f, 20000};
  ZvlDrawObject(hc.get(), ball.view(), inClip, rtest::Identity, clip, rtest::LightZ, 1.0f, 1, DrawMode::Fill);
  ZvlDrawObject(hw.get(), ball.view(), inBuffer, rtest::Identity, rtest::WholeClip(100, 80), rtest::LightZ, 1.0f, 1,
                DrawMode::Fill);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool inside = x >= 20 && x <= 59 && y >= 10 && y <= 49;
      ASSERT_EQ(clipped.z(x, y), inside ? whole.z(x, y) : 0xFFFF);
    }
  EXPECT_GE(hc->drawn.x0, 20);
  EXPECT_LE(hc->drawn.x1, 59);
}

// Positions count from the clip after its cut to the handler's clip, so a
// caller's clip that starts outside the handler's does not shift the picture.
TEST_F(Draw, PositionsCountFromTheClipCutToTheHandlers) {
  const Part ball = Ball(15);
  Buffers<uint16_t> cut(100, 80), whole(100, 80);
  HandlerPtr hc(ZvlCreateScnHandler(0, table16_.data(), nullptr, &cut.desc));
  HandlerPtr hw(ZvlCreateScnHandler(0, table16_.data(), nullptr, &whole.desc));
  hc->clip = ZvlMakeRect(20, 10, 99, 79);
  const float fromCut[3] = {30.5f, 25.5f, 20000}, fromBuffer[3] = {50.5f, 35.5f, 20000};
  ZvlDrawObject(hc.get(), ball.view(), fromCut, rtest::Identity, rtest::WholeClip(100, 80), rtest::LightZ, 1.0f, 1,
                DrawMode::Fill);
  ZvlDrawObject(hw.get(), ball.view(), fromBuffer, rtest::Identity, rtest::WholeClip(100, 80), rtest::LightZ, 1.0f,
                1, DrawMode::Fill);
  ASSERT_GT(whole.drawnCount(), 500);
  EXPECT_EQ(cut.depth, whole.depth);
  EXPECT_EQ(hc->drawn, hw->drawn);
}

// The 16.16 depth accumulator never wraps: an object beyond the far limit is
// not drawn, and one whose far side passes it is flattened towards it.
TEST_F(Draw, DepthNearTheFarLimitNeverWraps) {
  const Part ball = Ball(15);
  Buffers<uint16_t> b(100, 80);
  HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
  const float beyond[3] = {50, 40, 70000}, near[3] = {50, 40, 65530};
  ZvlDrawObject(h.get(), ball.view(), beyond, rtest::Identity, rtest::WholeClip(100, 80), rtest::LightZ, 1.0f, 1,
                DrawMode::Fill);
  EXPECT_EQ(b.drawnCount(), 0);
  ZvlDrawObject(h.get(), ball.view(), near, rtest::Identity, rtest::WholeClip(100, 80), rtest::LightZ, 1.0f, 1,
                DrawMode::Fill);
  ASSERT_GT(b.drawnCount(), 500);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_GE(b.z(x, y), 65500) << x << "," << y;
  EXPECT_TRUE(ZvlSplatTileIsEmpty());
}

// One 3D pixel shows the splat and compositor each mode and scale choose.
TEST_F(Draw, ModeThresholds) {
  const Part one = rtest::MakePart({{rtest::Pixel(0, 0, 0)}});
  auto pixels = [&](DrawMode mode, float scale) {
    Buffers<uint16_t> b(32, 32);
    HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
    const float position[3] = {16.25f, 16.25f, 1000};
    ZvlDrawObject(h.get(), one.view(), position, rtest::Identity, rtest::WholeClip(32, 32), rtest::LightZ, scale, 1,
                  mode);
    EXPECT_EQ(b.drawnCount() == 0, h->drawn.empty());
    EXPECT_TRUE(ZvlSplatTileIsEmpty()) << int(mode) << " " << scale;
    return b.drawnCount();
  };
  EXPECT_EQ(pixels(DrawMode::Fill, 0.6f), 1);   // one point
  EXPECT_EQ(pixels(DrawMode::Fill, 0.95f), 3);  // three points
  EXPECT_EQ(pixels(DrawMode::Fill, 2.0f), 12);  // three points at 1.0, magnified twice
  EXPECT_EQ(pixels(DrawMode::Fill, 3.0f), 27);
  EXPECT_EQ(pixels(DrawMode::Stretch, 1.0f), 4);  // splat at 0.5, doubled
  EXPECT_EQ(pixels(DrawMode::Stretch, 1.5f), 0);  // above 1.4142: not drawn
  EXPECT_EQ(pixels(DrawMode::Pack, 0.6f), 1);
  EXPECT_GE(pixels(DrawMode::Pack, 2.0f), 4);  // splat at 0.7071, magnified 2.83 times
  // Shadows: Pack and Fill keep the scale (magnified above 1.0), Stretch
  // halves it and doubles, as for the object.
  auto shadowed = [&](DrawMode mode, float scale) {
    Buffers<uint16_t> b(32, 32);
    HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), shadow16_.data(), &b.desc));
    const float position[3] = {16.25f, 16.25f, 1000};
    ZvlDrawShadow(h.get(), one.view(), position, rtest::Identity, rtest::WholeClip(32, 32), scale, 1, mode);
    EXPECT_TRUE(ZvlSplatTileIsEmpty());
    return b.drawnCount();
  };
  EXPECT_EQ(shadowed(DrawMode::Fill, 0.9f), 1);
  EXPECT_EQ(shadowed(DrawMode::Pack, 0.9f), 1);
  EXPECT_EQ(shadowed(DrawMode::Fill, 2.0f), 4);
  EXPECT_EQ(shadowed(DrawMode::Pack, 2.0f), 4);
  EXPECT_EQ(shadowed(DrawMode::Stretch, 1.0f), 4);
  EXPECT_EQ(shadowed(DrawMode::Stretch, 1.5f), 0);
  // Where the three points land: with the identity matrix every body
  // diagonal projects equally long, so d1 is code 0 (-1, -1, -1) and d2 its
  // partner farthest from it, code 6 (-1, +1, -1): half steps up-left and
  // down-left of the main point.
  Buffers<uint16_t> b(32, 32);
  HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
  const float position[3] = {16.25f, 16.25f, 1000};
  ZvlDrawObject(h.get(), one.view(), position, rtest::Identity, rtest::WholeClip(32, 32), rtest::LightZ, 0.95f, 1,
                DrawMode::Fill);
  EXPECT_NE(b.z(16, 16), 0xFFFF);
  EXPECT_NE(b.z(15, 15), 0xFFFF);
  EXPECT_NE(b.z(15, 16), 0xFFFF);
  EXPECT_EQ(b.drawnCount(), 3);
}

TEST_F(Draw, MagnifiedObjectGrowsWithScale) {
  const Part ball = Ball(20);
  auto width = [&](DrawMode mode, float scale) {
    Buffers<uint16_t> b(300, 300);
    HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
    const float position[3] = {150, 150, 30000};
    ZvlDrawObject(h.get(), ball.view(), position, rtest::Identity, rtest::WholeClip(300, 300), rtest::LightZ, scale, 1,
                  mode);
    int x0 = 300, x1 = -1;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 300; ++x)
        if (b.z(x, y) != 0xFFFF) x0 = std::min(x0, x), x1 = std::max(x1, x);
    return x1 - x0 + 1;
  };
  const int w1 = width(DrawMode::Fill, 1.0f);
  EXPECT_NEAR(w1, 41, 2);
  EXPECT_NEAR(width(DrawMode::Fill, 2.0f), 2 * w1, 3);
  EXPECT_NEAR(width(DrawMode::Pack, 2.0f), 2 * w1, 4);
  EXPECT_NEAR(width(DrawMode::Stretch, 1.0f), w1, 3);
}

// A shadow darkens background pixels once and never an object's pixel.
TEST_F(Draw, ShadowDarkensBackgroundOnceAndNeverObjects) {
  for (const bool inverted : {false, true}) {
    const uint16_t background = inverted ? 0 : 0xFFFF, mark = inverted ? 1 : 0xFFFE;
    Buffers<uint16_t> b(120, 100, 0x1234, background);
    std::vector<uint16_t> shadow(ZvlShadowTableSize16);
    for (size_t i = 0; i < shadow.size(); ++i) shadow[i] = uint16_t(i ^ 0x8000);
    HandlerPtr h(ZvlCreateScnHandler(inverted ? ZvlInvertedDepth : 0, table16_.data(), shadow.data(), &b.desc));
    const Part ball = Ball(20);
    const float objectAt[3] = {50, 50, 20000}, shadowAt[3] = {70, 55, 40000};
    ZvlDrawObject(h.get(), ball.view(), objectAt, rtest::Identity, rtest::WholeClip(120, 100), rtest::LightZ, 1, 1,
                  DrawMode::Fill);
    const auto objectColor = b.color;
    const auto objectDepth = b.depth;
    ZvlDrawShadow(h.get(), ball.view(), shadowAt, rtest::Identity, rtest::WholeClip(120, 100), 1, 1, DrawMode::Fill);
    ASSERT_TRUE(ZvlSplatTileIsEmpty());
    int shadowed = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 120; ++x) {
        const size_t i = Buffers<uint16_t>::Guard + size_t(y) * 120 + x;
        if (objectDepth[i] != background) {
          ASSERT_EQ(b.z(x, y), objectDepth[i]);  // object pixels untouched
          ASSERT_EQ(b.at(x, y), objectColor[i]);
        } else if (b.z(x, y) != background) {
          ASSERT_EQ(b.z(x, y), mark);
          ASSERT_EQ(b.at(x, y), 0x1234 ^ 0x8000);
          ++shadowed;
        }
      }
    EXPECT_GT(shadowed, 300);
    // A second shadow over the same place changes nothing.
    const auto once = b.color;
    ZvlDrawShadow(h.get(), ball.view(), shadowAt, rtest::Identity, rtest::WholeClip(120, 100), 1, 1, DrawMode::Fill);
    EXPECT_EQ(b.color, once);
    // Magnified and doubled shadows mark too.
    const float elsewhere[3] = {20, 80, 40000};
    ZvlDrawShadow(h.get(), ball.view(), elsewhere, rtest::Identity, rtest::WholeClip(120, 100), 1.2f, 1,
                  DrawMode::Stretch);
    EXPECT_GT(std::count(b.depth.begin(), b.depth.end(), mark), shadowed);
  }
}

TEST_F(Draw, NearerObjectHidesFartherOne) {
  Buffers<uint16_t> b(100, 100);
  HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
  Part nearBall, farBall;
  nearBall.bytes = samples::shapeObject(samples::Shape::Ball, 15, 1, 10, 1, VoxPartForm::WithZeroWord, 1.0f);
  farBall.bytes = samples::shapeObject(samples::Shape::Ball, 25, 1, 40, 1, VoxPartForm::WithZeroWord, 1.0f);
  ASSERT_TRUE(VoxListParts(nearBall.bytes.data(), nearBall.bytes.size(), nearBall.parts));
  ASSERT_TRUE(VoxListParts(farBall.bytes.data(), farBall.bytes.size(), farBall.parts));
  const float nearAt[3] = {50, 50, 10000}, farAt[3] = {50, 50, 20000};
  // Drawn near first, then far: the near one stays in front.
  ZvlDrawObject(h.get(), nearBall.view(), nearAt, rtest::Identity, rtest::WholeClip(100, 100), rtest::LightZ, 1, 1,
                DrawMode::Fill);
  ZvlDrawObject(h.get(), farBall.view(), farAt, rtest::Identity, rtest::WholeClip(100, 100), rtest::LightZ, 1, 1,
                DrawMode::Fill);
  EXPECT_EQ(b.at(50, 50) & 0xFF, 10);
  EXPECT_EQ(b.at(50, 28) & 0xFF, 40);  // the far ball shows around it
}

TEST_F(Draw, ComplexPartDrawsEveryChain) {
  std::vector<VoxPixel> left, right;
  for (int y = -3; y <= 3; ++y) left.push_back(rtest::Pixel(-40, y, 0, 1));
  for (int y = -3; y <= 3; ++y) right.push_back(rtest::Pixel(40, y, 0, 2));
  const Part part = rtest::MakePart({left, right});
  ASSERT_TRUE(part.view().head.kind & VoxKindComplex);
  Buffers<uint16_t> b(200, 100);
  HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
  const float position[3] = {100, 50, 1000};
  ZvlDrawObject(h.get(), part.view(), position, rtest::Identity, rtest::WholeClip(200, 100), rtest::LightZ, 1, 1,
                DrawMode::Fill);
  EXPECT_EQ(b.at(60, 50) & 0xFF, 1);
  EXPECT_EQ(b.at(140, 50) & 0xFF, 2);
  EXPECT_EQ(b.z(100, 50), 0xFFFF);
  EXPECT_LE(h->drawn.x0, 60);
  EXPECT_GE(h->drawn.x1, 140);
  EXPECT_LE(h->drawn.y0, 47);
  EXPECT_GE(h->drawn.y1, 53);
}

// --- Level selection and untrusted parts -----------------------------------

TEST(SelectLevel, PicksTheCoarsestPartNotLargerThanAPixel) {
  std::vector<std::vector<uint8_t>> parts;
  for (float size : {1.0f, 2.0f, 4.0f}) {
    std::vector<uint8_t> part;
    ASSERT_TRUE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{{rtest::Pixel(0, 0, 0)}}, size,
                             VoxPartForm::WithZeroWord, {}, part));
    parts.push_back(part);
  }
  std::vector<uint8_t> object;
  ASSERT_TRUE(VoxJoinParts(parts, false, object));
  std::vector<VoxPartView> views;
  ASSERT_TRUE(VoxListParts(object.data(), object.size(), views));
  auto level = [&](float u, DrawMode mode, size_t from = 0) {
    return int(ZvlSelectLevel(std::span(views).subspan(from), u, mode) - views.data());
  };
  EXPECT_EQ(level(0.5f, DrawMode::Fill), 0);
  EXPECT_EQ(level(1.0f, DrawMode::Fill), 0);
  EXPECT_EQ(level(1.9f, DrawMode::Fill), 0);
  EXPECT_EQ(level(2.0f, DrawMode::Fill), 1);
  EXPECT_EQ(level(3.9f, DrawMode::Fill), 1);
  EXPECT_EQ(level(100.0f, DrawMode::Fill), 2);
  EXPECT_EQ(level(2.5f, DrawMode::Pack), 0);     // 2.5 x 0.7071 = 1.77
  EXPECT_EQ(level(1.5f, DrawMode::Stretch), 1);  // 1.5 x 1.4142 = 2.12
  EXPECT_EQ(level(0.5f, DrawMode::Fill, 1), 1);  // never finer than the current part
  EXPECT_EQ(ZvlSelectLevel({}, 1.0f, DrawMode::Fill), nullptr);
}

TEST(CheckPart, RefusesMovesThatLeaveTheBoxOrHaveNoCode) {
  Part part = rtest::MakePart({{rtest::Pixel(0, 0, 0), rtest::Pixel(1, 0, 0), rtest::Pixel(1, 1, 0)}});
  EXPECT_TRUE(ZvlCheckPart(part.view()));
  uint8_t* secondMove = part.bytes.data() + VoxHeadSize + 3;
  const uint8_t saved = secondMove[0];
  secondMove[0] = uint8_t((4 << 3) | (saved & 7));  // -x instead of +x: out of the box
  EXPECT_FALSE(ZvlCheckPart(part.view()));
  secondMove[0] = uint8_t((26 << 3) | (saved & 7));
  EXPECT_FALSE(ZvlCheckPart(part.view()));
}

// Moves that were never checked can make a wrong picture, never a write
// outside the tile or the buffers.
TEST_F(Draw, UncheckedGarbageStaysInsideTheBuffers) {
  std::mt19937 rng(4242);
  Part part = Ball(30);
  Buffers<uint16_t> b(80, 60);
  {
    HandlerPtr h(ZvlCreateScnHandler(0, table16_.data(), nullptr, &b.desc));
    VoxChainCursor cursor(part.view());
    VoxChainView chain;
    while (cursor.next(chain))
      for (int32_t i = 0; i < chain.count; ++i) const_cast<uint8_t*>(chain.moves)[3 * i] = uint8_t(rng());
    for (int i = 0; i < 50; ++i) {
      const RandomDraw d = MakeRandomDraw(rng, 80, 60);
      Apply<uint16_t>(h.get(), part.view(), d, 80, 60);
    }
  }
  EXPECT_TRUE(b.guardsIntact());
  EXPECT_FALSE(ZvlSplatTileExists());
}

}  // namespace
