// Voxel parts: exact bytes of small parts, move codes, normal quantisation,
// joining, build-then-walk round trips and the structural check on broken
// blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "zvlfile/le.h"
#include "zvlfile/voxpart.h"

namespace le = zvl::le;

namespace {

VoxPixel pixel(int x, int y, int z, uint16_t normal = 0, uint8_t color = 0) {
  VoxPixel p;
  p.x = int16_t(x);
  p.y = int16_t(y);
  p.z = int16_t(z);
  p.normal = normal;
  p.color = color;
  return p;
}

std::vector<uint8_t> build(const std::vector<std::vector<VoxPixel>>& chains, VoxPartForm form,
                           const std::vector<VoxFixPoint>& fix = {}) {
  std::vector<uint8_t> part;
  EXPECT_TRUE(VoxBuildPart(chains, 1.5f, form, fix, part));
  return part;
}

std::vector<VoxPixel> walk(const VoxPartView& part) {
  std::vector<VoxPixel> out;
  EXPECT_TRUE(VoxWalkPart(part, [&](const VoxPixel& p) { out.push_back(p); }));
  return out;
}

// A heap copy of exactly `size` bytes, so that AddressSanitizer sees any read
// past its end.
std::unique_ptr<uint8_t[]> exactCopy(const uint8_t* bytes, size_t size) {
  auto copy = std::make_unique<uint8_t[]>(size == 0 ? 1 : size);
  if (size) std::memcpy(copy.get(), bytes, size);
  return copy;
}

// Lists the first `size` bytes from an exact copy; the views point into
// `keep`, which must outlive them.
bool listsExactly(const std::vector<uint8_t>& bytes, size_t size, std::vector<VoxPartView>& parts,
                  std::unique_ptr<uint8_t[]>& keep) {
  keep = exactCopy(bytes.data(), size);
  return VoxListParts(keep.get(), size, parts);
}
bool listsExactly(const std::vector<uint8_t>& bytes, size_t size) {
  std::unique_ptr<uint8_t[]> keep;
  std::vector<VoxPartView> parts;
  return listsExactly(bytes, size, parts, keep);
}

// A random chain: a walk of neighbouring steps from a random point.
std::vector<VoxPixel> randomChain(std::mt19937& rng, int length) {
  std::uniform_int_distribution<int> coord(-200, 200), step(-1, 1), normal(0, 2047), color(0, 255);
  std::vector<VoxPixel> chain;
  int x = coord(rng), y = coord(rng), z = coord(rng);
  for (int i = 0; i < length; ++i) {
    if (i > 0) {
      int dx, dy, dz;
      do {
        dx = step(rng);
        dy = step(rng);
        dz = step(rng);
      } while (dx == 0 && dy == 0 && dz == 0);
      x += dx;
      y += dy;
      z += dz;
    }
    chain.push_back(pixel(x, y, z, uint16_t(normal(rng)), uint8_t(color(rng))));
  }
  return chain;
}

void expectSamePixels(const std::vector<std::vector<VoxPixel>>& chains, const std::vector<VoxPixel>& walked) {
  std::vector<VoxPixel> expected;
  for (const auto& c : chains) expected.insert(expected.end(), c.begin(), c.end());
  ASSERT_EQ(walked.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(walked[i].x, expected[i].x) << i;
    EXPECT_EQ(walked[i].y, expected[i].y) << i;
    EXPECT_EQ(walked[i].z, expected[i].z) << i;
    EXPECT_EQ(walked[i].normal, expected[i].normal) << i;
    EXPECT_EQ(walked[i].color, expected[i].color) << i;
  }
}

// A joined object of three parts (simple with fix points, complex, empty)
// used by the checks on broken blocks.
std::vector<uint8_t> sampleObject() {
  std::mt19937 rng(7);
  std::vector<std::vector<uint8_t>> parts(3);
  const std::vector<VoxFixPoint> fix = {{1, 2, 3}, {4, 5, 6}};
  EXPECT_TRUE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{randomChain(rng, 20)}, 1, VoxPartForm::WithZeroWord,
                           fix, parts[0]));
  EXPECT_TRUE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{randomChain(rng, 5), randomChain(rng, 9)}, 2,
                           VoxPartForm::WithZeroWord, {}, parts[1]));
  EXPECT_TRUE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{}, 4, VoxPartForm::WithZeroWord, {}, parts[2]));
  std::vector<uint8_t> object;
  EXPECT_TRUE(VoxJoinParts(parts, true, object));
  return object;
}

}  // namespace

TEST(VoxPart, SinglePixelIsFiftyByteSimplePart) {
  const std::vector<uint8_t> part = build({{pixel(5, -3, 7, 1234, 9)}}, VoxPartForm::WithZeroWord);
  ASSERT_EQ(part.size(), 50u);
  const VoxObjectHead head = VoxReadHead(part.data());
  EXPECT_EQ(head.kind, 0);
  EXPECT_EQ(head.size, 50);
  EXPECT_EQ(head.pixelSize, 1.5f);
  EXPECT_EQ(head.nextOffset, 50);
  EXPECT_EQ(head.trailerOffset, 49);
  EXPECT_EQ(head.dimensions[0], 1);
  EXPECT_EQ(head.dimensions[1], 1);
  EXPECT_EQ(head.dimensions[2], 1);
  EXPECT_EQ(head.minimum[0], 5);
  EXPECT_EQ(head.minimum[1], -3);
  EXPECT_EQ(head.minimum[2], 7);
  EXPECT_EQ(head.start[0], 6);
  EXPECT_EQ(head.start[1], -3);
  EXPECT_EQ(head.start[2], 7);
  EXPECT_EQ(head.pixelCount, 1);
  EXPECT_EQ(VoxMoveCodeOf(&part[42]), 4);
  EXPECT_EQ(VoxNormalOf(&part[42]), 1234);
  EXPECT_EQ(VoxColorOf(&part[42]), 9);
  EXPECT_EQ(le::i32(&part[45]), 0);  // the zero int32
  EXPECT_EQ(part[49], 0);            // the one-byte trailer

  // Without the zero int32 the trailer follows the moves directly.
  const std::vector<uint8_t> compact = build({{pixel(5, -3, 7, 1234, 9)}}, VoxPartForm::Compact);
  ASSERT_EQ(compact.size(), 46u);
  EXPECT_EQ(VoxReadHead(compact.data()).trailerOffset, 45);
  EXPECT_TRUE(std::equal(compact.begin() + 16 + 4, compact.end() - 1, part.begin() + 20));
}

TEST(VoxPart, HeadFieldsAreLittleEndianAtTheirOffsets) {
  VoxObjectHead head;
  head.kind = 3;
  head.size = 0x01020304;
  head.pixelSize = 2.0f;
  head.nextOffset = 0x0a0b0c0d;
  head.trailerOffset = 77;
  head.dimensions[1] = -2;
  head.minimum[2] = 0x1234;
  head.start[0] = -300;
  head.pixelCount = 0x7fffffff;
  uint8_t bytes[VoxHeadSize];
  VoxWriteHead(bytes, head);
  EXPECT_EQ(bytes[4], 0x04);
  EXPECT_EQ(bytes[7], 0x01);
  EXPECT_EQ(le::f32(bytes + 8), 2.0f);
  EXPECT_EQ(bytes[12], 0x0d);
  EXPECT_EQ(le::i16(bytes + 22), -2);
  EXPECT_EQ(bytes[30], 0x34);
  EXPECT_EQ(bytes[31], 0x12);
  EXPECT_EQ(le::i16(bytes + 32), -300);
  EXPECT_EQ(le::i32(bytes + 38), 0x7fffffff);
  const VoxObjectHead back = VoxReadHead(bytes);
  EXPECT_EQ(std::memcmp(&back.dimensions, &head.dimensions, sizeof head.dimensions), 0);
  EXPECT_EQ(back.kind, 3);
  EXPECT_EQ(back.trailerOffset, 77);

  ChainHead chain;
  chain.centre[0] = -5;
  chain.size[2] = 9;
  chain.start[1] = 4;
  chain.pixelCount = 12;
  uint8_t cbytes[VoxChainHeadSize];
  VoxWriteChainHead(cbytes, chain);
  EXPECT_EQ(le::i16(cbytes + 0), -5);
  EXPECT_EQ(le::i16(cbytes + 16), 9);
  EXPECT_EQ(le::i16(cbytes + 20), 4);
  EXPECT_EQ(le::i32(cbytes + 24), 12);
  EXPECT_EQ(le::i32(cbytes + 28), 0);
  EXPECT_EQ(VoxReadChainHead(cbytes).pixelCount, 12);
}

TEST(VoxPart, RowAlongXGivesCodeFourThenTwentyOne) {
  std::vector<VoxPixel> row;
  for (int x = -3; x < 5; ++x) row.push_back(pixel(x, 2, 1));
  const std::vector<uint8_t> part = build({row}, VoxPartForm::Compact);
  ASSERT_EQ(part.size(), 42u + 3 * 8 + 1);
  EXPECT_EQ(VoxMoveCodeOf(&part[42]), 4);
  for (int i = 1; i < 8; ++i) EXPECT_EQ(VoxMoveCodeOf(&part[42 + 3 * i]), 21) << i;
  const VoxObjectHead head = VoxReadHead(part.data());
  EXPECT_EQ(head.dimensions[0], 8);
  EXPECT_EQ(head.minimum[0], -3);
  EXPECT_EQ(head.start[0], -2);
}

TEST(VoxPart, MoveCarriesElevenBitNormal) {
  uint8_t move[3];
  VoxPutMove(move, 25, 2047, 200);
  EXPECT_EQ(move[0] & 7, 7);
  EXPECT_EQ(move[1], 255);
  EXPECT_EQ(move[0] >> 3, 25);
  EXPECT_EQ(VoxNormalOf(move), 2047);
  EXPECT_EQ(VoxMoveCodeOf(move), 25);
  EXPECT_EQ(VoxColorOf(move), 200);
  VoxPutMove(move, 4, 0x2ff, 0);
  EXPECT_EQ(move[0], (4 << 3) | 2);
  EXPECT_EQ(move[1], 0xff);
}

TEST(VoxPart, ThreeFixPointsMakeFortyTwoByteTrailer) {
  EXPECT_EQ(VoxTrailerSize(0), 1u);
  EXPECT_EQ(VoxTrailerSize(3), 42u);
  const std::vector<VoxFixPoint> fix = {{1.5f, -2, 3}, {0, 0.25f, 8}, {-7, 6, 5}};
  const std::vector<uint8_t> part = build({{pixel(0, 0, 0)}}, VoxPartForm::WithZeroWord, fix);
  ASSERT_EQ(part.size(), 42u + 3 + 4 + 42);
  const VoxObjectHead head = VoxReadHead(part.data());
  ASSERT_EQ(head.trailerOffset, 49);
  const uint8_t* t = &part[49];
  EXPECT_EQ(t[0], 1);
  EXPECT_EQ(t[1], 42);
  EXPECT_EQ(t[2], 0);
  EXPECT_EQ(t[3], 0);
  EXPECT_EQ(t[4], 0);
  EXPECT_EQ(t[5], 3);
  EXPECT_EQ(le::f32(t + 6), 1.5f);
  EXPECT_EQ(le::f32(t + 6 + 12 * 2), -7.0f);

  std::vector<VoxPartView> parts;
  ASSERT_TRUE(VoxListParts(part.data(), part.size(), parts));
  const std::vector<VoxFixPoint> back = VoxFixPoints(parts[0]);
  ASSERT_EQ(back.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back[i].x, fix[i].x);
    EXPECT_EQ(back[i].y, fix[i].y);
    EXPECT_EQ(back[i].z, fix[i].z);
  }
  std::vector<uint8_t> plain = build({{pixel(0, 0, 0)}}, VoxPartForm::WithZeroWord);
  ASSERT_TRUE(VoxListParts(plain.data(), plain.size(), parts));
  EXPECT_TRUE(VoxFixPoints(parts[0]).empty());
}

TEST(VoxPart, EmptyPartInBothForms) {
  const std::vector<uint8_t> withZero = build({}, VoxPartForm::WithZeroWord);
  ASSERT_EQ(withZero.size(), 47u);
  VoxObjectHead head = VoxReadHead(withZero.data());
  EXPECT_EQ(head.kind, 0);
  EXPECT_EQ(head.size, 47);
  EXPECT_EQ(head.nextOffset, 47);
  EXPECT_EQ(head.trailerOffset, 46);
  EXPECT_EQ(head.pixelCount, 0);
  EXPECT_EQ(head.dimensions[0], 0);
  EXPECT_EQ(head.start[0], 0);

  const std::vector<uint8_t> compact = build({{}, {}}, VoxPartForm::Compact);
  ASSERT_EQ(compact.size(), 43u);
  head = VoxReadHead(compact.data());
  EXPECT_EQ(head.trailerOffset, 42);
  EXPECT_EQ(head.kind, 0);

  const std::vector<VoxFixPoint> fix = {{1, 2, 3}};
  const std::vector<uint8_t> fixed = build({}, VoxPartForm::WithZeroWord, fix);
  EXPECT_EQ(fixed.size(), 46u + 18);

  for (const auto* bytes : {&withZero, &compact, &fixed}) {
    std::vector<VoxPartView> parts;
    ASSERT_TRUE(VoxListParts(bytes->data(), bytes->size(), parts));
    EXPECT_TRUE(walk(parts[0]).empty());
  }
}

TEST(VoxPart, ComplexPartChainHeadsUseArithmeticShiftCentre) {
  // Chain 1 spans x -3..0 (centre (-3 + 0) >> 1 = -2, not -1), chain 2 one pixel.
  const std::vector<std::vector<VoxPixel>> chains = {
      {pixel(0, 4, -1), pixel(-1, 5, -1), pixel(-2, 5, 0), pixel(-3, 6, 0)}, {}, {pixel(10, 10, 10)}};
  const std::vector<uint8_t> part = build(chains, VoxPartForm::WithZeroWord);
  ASSERT_EQ(part.size(), 42u + 2 * 32 + 5 * 3 + 4 + 1);
  const VoxObjectHead head = VoxReadHead(part.data());
  EXPECT_EQ(head.kind, VoxKindComplex);
  EXPECT_EQ(head.pixelCount, 5);
  EXPECT_EQ(head.dimensions[0], 14);
  EXPECT_EQ(head.minimum[0], -3);
  EXPECT_EQ(head.start[0], 1);
  EXPECT_EQ(head.start[1], 4);
  const ChainHead c = VoxReadChainHead(&part[42]);
  EXPECT_EQ(c.centre[0], -2);
  EXPECT_EQ(c.centre[1], 5);
  EXPECT_EQ(c.centre[2], -1);
  EXPECT_EQ(c.minimum[0], -1);
  EXPECT_EQ(c.minimum[1], -1);
  EXPECT_EQ(c.minimum[2], 0);
  EXPECT_EQ(c.size[0], 4);
  EXPECT_EQ(c.size[1], 3);
  EXPECT_EQ(c.size[2], 2);
  EXPECT_EQ(c.start[0], 3);  // x + 1 of the first pixel minus the centre
  EXPECT_EQ(c.start[1], -1);
  EXPECT_EQ(c.pixelCount, 4);
  EXPECT_EQ(c.zero, 0);
  EXPECT_EQ(VoxMoveCodeOf(&part[42 + 32]), 4);
  const ChainHead c2 = VoxReadChainHead(&part[42 + 32 + 12]);
  EXPECT_EQ(c2.centre[0], 10);
  EXPECT_EQ(c2.start[0], 1);
  EXPECT_EQ(c2.pixelCount, 1);
  EXPECT_EQ(VoxMoveCodeOf(&part[42 + 32 + 12 + 32]), 4);
}

TEST(VoxPart, BuilderRefusesBrokenChains) {
  std::vector<uint8_t> part;
  const std::vector<VoxFixPoint> none;
  auto refuses = [&](const std::vector<std::vector<VoxPixel>>& chains) {
    part.assign(5, 1);
    const bool ok = VoxBuildPart(chains, 1, VoxPartForm::WithZeroWord, none, part);
    return !ok && part.empty();
  };
  EXPECT_TRUE(refuses({{pixel(0, 0, 0), pixel(2, 0, 0)}}));  // not neighbours
  EXPECT_TRUE(refuses({{pixel(0, 0, 0), pixel(0, 0, 0)}}));  // no step
  EXPECT_TRUE(refuses({{pixel(1, 1, 1)}, {pixel(5, 5, 5), pixel(5, 6, 7)}}));
  EXPECT_TRUE(refuses({{pixel(32767, 0, 0)}}));                   // start x + 1 leaves int16
  EXPECT_TRUE(refuses({{pixel(-32768, 0, 0)}, {pixel(32766, 0, 0)}}));  // box too wide
  EXPECT_FALSE(refuses({{pixel(-16000, 0, 0)}, {pixel(16000, 0, 0)}}));

  const std::vector<VoxFixPoint> many(256, VoxFixPoint{0, 0, 0});
  part.assign(5, 1);
  EXPECT_FALSE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{{pixel(0, 0, 0)}}, 1, VoxPartForm::WithZeroWord,
                            many, part));
  EXPECT_TRUE(part.empty());
  const std::vector<VoxFixPoint> most(255, VoxFixPoint{0, 0, 0});
  EXPECT_TRUE(VoxBuildPart(std::vector<std::vector<VoxPixel>>{{pixel(0, 0, 0)}}, 1, VoxPartForm::WithZeroWord,
                           most, part));
  EXPECT_EQ(part.size(), 42u + 3 + 4 + 12 * 255 + 6);
}

TEST(VoxMoveCode, EveryStepBothWays) {
  std::vector<int> seen(VoxMoveCodeCount, 0);
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy)
      for (int dz = -1; dz <= 1; ++dz) {
        const int code = VoxMoveCode(dx, dy, dz);
        if (dx == 0 && dy == 0 && dz == 0) {
          EXPECT_EQ(code, -1);
          continue;
        }
        ASSERT_GE(code, 0);
        ASSERT_LT(code, VoxMoveCodeCount);
        ++seen[code];
        EXPECT_EQ(VoxMoveSteps[code].dx, dx);
        EXPECT_EQ(VoxMoveSteps[code].dy, dy);
        EXPECT_EQ(VoxMoveSteps[code].dz, dz);
      }
  for (int code = 0; code < VoxMoveCodeCount; ++code) EXPECT_EQ(seen[code], 1) << code;
  for (int code = VoxMoveCodeCount; code < 32; ++code) {
    EXPECT_EQ(VoxMoveSteps[code].dx, 0);
    EXPECT_EQ(VoxMoveSteps[code].dy, 0);
    EXPECT_EQ(VoxMoveSteps[code].dz, 0);
  }
  EXPECT_EQ(VoxMoveCode(-1, -1, -1), 0);
  EXPECT_EQ(VoxMoveCode(-1, 0, 0), 4);
  EXPECT_EQ(VoxMoveCode(0, 0, -1), 12);
  EXPECT_EQ(VoxMoveCode(0, 0, 1), 13);
  EXPECT_EQ(VoxMoveCode(1, 0, 0), 21);
  EXPECT_EQ(VoxMoveCode(1, 1, 1), 25);
  EXPECT_EQ(VoxMoveCode(2, 0, 0), -1);
  EXPECT_EQ(VoxMoveCode(0, -2, 0), -1);
}

TEST(NormalIndex, QuantizesAxes) {
  EXPECT_EQ(QuantizeNormal(0, 0, -1), 0);
  EXPECT_EQ(QuantizeNormal(0, 0, 1), 0);
  EXPECT_EQ(QuantizeNormal(0, 0, 5), 0);
  EXPECT_EQ(QuantizeNormal(1, 0, 0), 1959);
  EXPECT_EQ(QuantizeNormal(3, 0, 0), 1959);
  // +y: t = 23, r = 22. With z = -0 the vector is not negated; a small
  // negative z turns it to -y (r = 67).
  EXPECT_EQ(QuantizeNormal(0, 1, -0.0f), 23 * 89 + 22 - 88);
  EXPECT_EQ(QuantizeNormal(0, 1, -1e-6f), 23 * 89 + 67 - 88);
  EXPECT_EQ(QuantizeNormal(NAN, 0, 1), 0);
  EXPECT_EQ(QuantizeNormal(0, INFINITY, 0), 0);
  EXPECT_LT(QuantizeNormal(3e38f, 3e38f, 0), VoxNormalCount);
}

TEST(NormalIndex, EveryIndexDecodesAndQuantizesBack) {
  float x, y, z;
  VoxNormalDirection(0, x, y, z);
  EXPECT_EQ(z, 1.0f);
  for (int i = 0; i < VoxNormalCount; ++i) {
    VoxNormalDirection(uint16_t(i), x, y, z);
    EXPECT_NEAR(x * x + y * y + z * z, 1.0f, 1e-5f) << i;
    EXPECT_GE(z, 0.0f) << i;
    EXPECT_EQ(QuantizeNormal(x, y, z), i) << i;
  }
  VoxNormalDirection(1959, x, y, z);
  EXPECT_NEAR(x, 1.0f, 1e-6f);
  VoxNormalDirection(2047, x, y, z);  // t = 23, r = 88: just below +x
  EXPECT_NEAR(std::atan2(y, x), -2 * std::numbers::pi / 89, 1e-5);
}

TEST(NormalIndex, SweepStaysWithinOneGridStep) {
  const double step = 2 * std::numbers::pi / 89;  // the coarser of the two steps
  std::mt19937 rng(1234);
  std::normal_distribution<float> n(0, 1);
  for (int i = 0; i < 20000; ++i) {
    float vx = n(rng), vy = n(rng), vz = n(rng);
    const float len = std::sqrt(vx * vx + vy * vy + vz * vz);
    if (len < 1e-3f) continue;
    vx /= len;
    vy /= len;
    vz /= len;
    const uint16_t index = QuantizeNormal(vx, vy, vz);
    ASSERT_LT(index, VoxNormalCount);
    if (vz < 0) {
      vx = -vx;
      vy = -vy;
      vz = -vz;
    }
    float x, y, z;
    VoxNormalDirection(index, x, y, z);
    const double dot = std::fmin(1.0, double(vx) * x + double(vy) * y + double(vz) * z);
    EXPECT_LE(std::acos(dot), step) << vx << " " << vy << " " << vz << " -> " << index;
  }
}

TEST(VoxJoin, SizesCountThisAndLaterParts) {
  // Compact parts of 43 + 3p bytes: 319, 119 and 19 pixels give 1000, 400, 100.
  std::vector<std::vector<uint8_t>> parts;
  for (int count : {319, 119, 19}) {
    std::vector<VoxPixel> row;
    for (int x = 0; x < count; ++x) row.push_back(pixel(x, 0, 0));
    parts.push_back(build({row}, VoxPartForm::Compact));
  }
  ASSERT_EQ(parts[0].size(), 1000u);
  ASSERT_EQ(parts[1].size(), 400u);
  ASSERT_EQ(parts[2].size(), 100u);

  for (bool lastZero : {false, true}) {
    std::vector<uint8_t> object;
    ASSERT_TRUE(VoxJoinParts(parts, lastZero, object));
    ASSERT_EQ(object.size(), 1500u);
    const VoxObjectHead h0 = VoxReadHead(&object[0]);
    const VoxObjectHead h1 = VoxReadHead(&object[1000]);
    const VoxObjectHead h2 = VoxReadHead(&object[1400]);
    EXPECT_EQ(h0.size, 1500);
    EXPECT_EQ(h1.size, 500);
    EXPECT_EQ(h2.size, 100);
    EXPECT_EQ(h0.nextOffset, 1000);
    EXPECT_EQ(h1.nextOffset, 400);
    EXPECT_EQ(h2.nextOffset, lastZero ? 0 : 100);
    EXPECT_EQ(h0.kind & VoxKindNextPart, VoxKindNextPart);
    EXPECT_EQ(h1.kind & VoxKindNextPart, VoxKindNextPart);
    EXPECT_EQ(h2.kind & VoxKindNextPart, 0);

    std::vector<VoxPartView> views;
    ASSERT_TRUE(VoxListParts(object.data(), object.size(), views));
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0].length, 1000u);
    EXPECT_EQ(views[1].length, 400u);
    EXPECT_EQ(views[2].length, 100u);
    EXPECT_EQ(views[2].bytes, object.data() + 1400);
    EXPECT_EQ(walk(views[1]).size(), 119u);
  }

  std::vector<uint8_t> object;
  EXPECT_FALSE(VoxJoinParts(std::span<const std::vector<uint8_t>>(), true, object));
  const std::vector<std::vector<uint8_t>> seventeen(17, parts[2]);
  EXPECT_FALSE(VoxJoinParts(seventeen, true, object));
  const std::vector<std::vector<uint8_t>> sixteen(16, parts[2]);
  ASSERT_TRUE(VoxJoinParts(sixteen, true, object));
  std::vector<VoxPartView> views;
  EXPECT_TRUE(VoxListParts(object.data(), object.size(), views));
  EXPECT_EQ(views.size(), 16u);
}

TEST(VoxWalk, RandomChainsRoundTrip) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> chainCount(1, 6), chainLength(1, 60), fixCount(0, 4);
  for (int round = 0; round < 200; ++round) {
    const bool simple = round % 2 == 0;
    const VoxPartForm form = (round / 2) % 2 ? VoxPartForm::Compact : VoxPartForm::WithZeroWord;
    std::vector<std::vector<VoxPixel>> chains;
    const int count = simple ? 1 : 1 + chainCount(rng);
    for (int c = 0; c < count; ++c) chains.push_back(randomChain(rng, chainLength(rng)));
    std::vector<VoxFixPoint> fix(size_t(fixCount(rng)));
    for (auto& f : fix) f = {float(rng() % 100), -float(rng() % 50), 0.5f};

    std::vector<uint8_t> part;
    ASSERT_TRUE(VoxBuildPart(chains, 0.25f, form, fix, part));
    std::vector<VoxPartView> views;
    std::unique_ptr<uint8_t[]> keep;
    ASSERT_TRUE(listsExactly(part, part.size(), views, keep)) << round;
    ASSERT_EQ(views.size(), 1u);
    const VoxObjectHead& head = views[0].head;
    EXPECT_EQ(head.kind, simple ? 0 : VoxKindComplex);
    EXPECT_EQ(size_t(head.trailerOffset), part.size() - VoxTrailerSize(fix.size()));
    expectSamePixels(chains, walk(views[0]));

    // The head's box is the box of all pixels.
    int lo[3] = {1 << 20, 1 << 20, 1 << 20}, hi[3] = {-(1 << 20), -(1 << 20), -(1 << 20)};
    for (const auto& c : chains)
      for (const VoxPixel& p : c) {
        const int v[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
          lo[i] = std::min(lo[i], v[i]);
          hi[i] = std::max(hi[i], v[i]);
        }
      }
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(head.minimum[i], lo[i]);
      EXPECT_EQ(head.dimensions[i], hi[i] - lo[i] + 1);
    }
    EXPECT_EQ(VoxFixPoints(views[0]).size(), fix.size());

    // Every chain starts with code 4.
    VoxChainCursor cursor(views[0]);
    VoxChainView chain;
    int chainsSeen = 0;
    while (cursor.next(chain)) {
      EXPECT_EQ(VoxMoveCodeOf(chain.moves), 4);
      EXPECT_EQ(chain.chainHead == nullptr, simple);
      ++chainsSeen;
    }
    EXPECT_EQ(chainsSeen, count);
  }
}

TEST(VoxWalk, StopsAtUnusedMoveCode) {
  std::vector<uint8_t> part = build({{pixel(0, 0, 0), pixel(1, 0, 0), pixel(2, 0, 0)}}, VoxPartForm::WithZeroWord);
  part[42 + 3] = uint8_t((27 << 3) | (part[42 + 3] & 7));
  std::vector<VoxPartView> views;
  ASSERT_TRUE(VoxListParts(part.data(), part.size(), views));  // codes are not looked at
  int visited = 0;
  EXPECT_FALSE(VoxWalkPart(views[0], [&](const VoxPixel&) { ++visited; }));
  EXPECT_EQ(visited, 1);
}

TEST(VoxListParts, RefusesEveryTruncatedPrefix) {
  const std::vector<uint8_t> object = sampleObject();
  std::vector<VoxPartView> parts;
  std::unique_ptr<uint8_t[]> keep;
  ASSERT_TRUE(listsExactly(object, object.size(), parts, keep));
  ASSERT_EQ(parts.size(), 3u);
  for (size_t size = 0; size < object.size(); ++size) {
    EXPECT_FALSE(listsExactly(object, size, parts, keep)) << size;
    EXPECT_TRUE(parts.empty());
  }
  // Trailing bytes after the object are not part of it.
  std::vector<uint8_t> longer = object;
  longer.resize(object.size() + 10, 0xee);
  ASSERT_TRUE(listsExactly(longer, longer.size(), parts, keep));
  EXPECT_EQ(parts.size(), 3u);
  EXPECT_FALSE(VoxListParts(nullptr, 0, parts));
}

TEST(VoxListParts, RefusesCorruptedFields) {
  const std::vector<uint8_t> object = sampleObject();
  std::vector<VoxPartView> parts;
  ASSERT_TRUE(VoxListParts(object.data(), object.size(), parts));
  const size_t p1 = parts[1].bytes - parts[0].bytes;  // the complex part
  const size_t p2 = parts[2].bytes - parts[0].bytes;  // the empty part
  const size_t trailer0 = size_t(parts[0].head.trailerOffset);

  auto refused = [&](size_t at, int32_t value, bool byte = false) {
    std::vector<uint8_t> bad = object;
    if (byte)
      bad[at] = uint8_t(value);
    else
      le::putI32(&bad[at], value);
    return !listsExactly(bad, bad.size());
  };
  const int32_t total = int32_t(object.size());
  EXPECT_TRUE(refused(4, total + 1));          // first size beyond the block
  EXPECT_TRUE(refused(4, 41));                 // size smaller than a head
  EXPECT_TRUE(refused(4, -1));
  EXPECT_TRUE(refused(12, 41));                // next offset smaller than a head
  EXPECT_TRUE(refused(12, total - 41));        // leaves no room for the next head
  EXPECT_TRUE(refused(12, -1000));
  EXPECT_TRUE(refused(p1 + 4, int32_t(object.size() - p1 + 1)));  // later size beyond the previous one
  EXPECT_TRUE(refused(16, 41));                // trailer offset inside the head
  EXPECT_TRUE(refused(16, int32_t(p1)));       // trailer offset outside the part
  EXPECT_TRUE(refused(16, -5));
  EXPECT_TRUE(refused(38, -1));                // negative pixel count
  EXPECT_TRUE(refused(38, 22));                // moves overrun the trailer
  EXPECT_TRUE(refused(trailer0, 7, true));     // unknown trailer type
  EXPECT_TRUE(refused(trailer0 + 1, 31));      // fix-point trailer size not 12n + 6
  EXPECT_TRUE(refused(trailer0 + 5, 3, true));  // count does not match the size
  EXPECT_TRUE(refused(p1 + 42 + 24, 0));       // chain count zero
  EXPECT_TRUE(refused(p1 + 42 + 24, -3));      // negative chain count
  EXPECT_TRUE(refused(p1 + 42 + 24, 15));      // overshoots the part's pixel count
  EXPECT_TRUE(refused(p1 + 38, 15));           // chains overrun the trailer
  EXPECT_TRUE(refused(p1 + 38, 0x7fffffff));
  {
    // The counts add up but the last chain's moves run into the trailer.
    const size_t chain2 = p1 + 42 + 32 + 5 * 3;
    std::vector<uint8_t> bad = object;
    ASSERT_EQ(le::i32(&bad[chain2 + 24]), 9);
    le::putI32(&bad[chain2 + 24], 11);
    le::putI32(&bad[p1 + 38], 16);
    EXPECT_FALSE(listsExactly(bad, bad.size()));
    le::putI32(&bad[chain2 + 24], 10);  // one more move still fits before the zero int32 ends
    le::putI32(&bad[p1 + 38], 15);
    EXPECT_TRUE(listsExactly(bad, bad.size()));
  }
  EXPECT_TRUE(refused(p2, 1));                 // a part follows the end of the object

  // A fix-point trailer that says it is bigger than what is left.
  {
    std::vector<uint8_t> bad = object;
    bad[trailer0 + 5] = 3;
    le::putI32(&bad[trailer0 + 1], 42);
    EXPECT_FALSE(listsExactly(bad, bad.size()));
  }
  // More than sixteen parts: chain seventeen empty parts by hand.
  {
    const std::vector<uint8_t> empty = build({}, VoxPartForm::WithZeroWord);
    std::vector<uint8_t> bad;
    for (int i = 0; i < 17; ++i) bad.insert(bad.end(), empty.begin(), empty.end());
    for (int i = 0; i < 17; ++i) {
      uint8_t* head = &bad[size_t(i) * empty.size()];
      le::putI32(head, i < 16 ? VoxKindNextPart : 0);
      le::putI32(head + 4, int32_t((17 - i) * empty.size()));
    }
    std::vector<VoxPartView> out;
    std::unique_ptr<uint8_t[]> keep;
    EXPECT_FALSE(listsExactly(bad, bad.size(), out, keep));
    le::putI32(&bad[15 * empty.size()], 0);  // sixteen parts and trailing bytes
    EXPECT_TRUE(listsExactly(bad, bad.size(), out, keep));
    EXPECT_EQ(out.size(), 16u);
  }
}

TEST(VoxListParts, RandomCorruptionNeverLeadsOutsideTheBlock) {
  const std::vector<uint8_t> object = sampleObject();
  std::mt19937 rng(99);
  std::uniform_int_distribution<size_t> where(0, object.size() - 1);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bad = object;
    const int flips = 1 + int(rng() % 4);
    for (int f = 0; f < flips; ++f) bad[where(rng)] = uint8_t(rng());
    const size_t size = rng() % 8 == 0 ? where(rng) : bad.size();
    auto copy = exactCopy(bad.data(), size);
    std::vector<VoxPartView> parts;
    if (!VoxListParts(copy.get(), size, parts)) continue;
    ++accepted;
    ASSERT_GE(parts.size(), 1u);
    ASSERT_LE(parts.size(), size_t(VoxMaxParts));
    for (const VoxPartView& part : parts) {
      ASSERT_GE(part.bytes, copy.get());
      ASSERT_LE(part.length, size - size_t(part.bytes - copy.get()));
      const uint8_t* bodyEnd = part.bytes + part.head.trailerOffset;
      VoxChainCursor cursor(part);
      VoxChainView chain;
      int32_t pixels = 0;
      while (cursor.next(chain)) {
        ASSERT_GE(chain.moves, part.bytes + VoxHeadSize);
        ASSERT_LE(chain.moves + size_t(chain.count) * VoxMoveSize, bodyEnd);
        pixels += chain.count;
      }
      EXPECT_EQ(pixels, part.head.pixelCount);
      VoxWalkPart(part, [](const VoxPixel&) {});
      VoxFixPoints(part);
    }
  }
  EXPECT_GT(accepted, 0);  // the corruption did not only ever hit checked fields
}
