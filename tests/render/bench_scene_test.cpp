// The pictures of the benchmark scenes stay bit for bit what they were when
// the renderer's speed work began: a checksum of every colour and depth
// buffer, compared with the value the renderer gave then.
#include <gtest/gtest.h>

#include "bench/render_scenes.h"
#include "render_test_util.h"

namespace {

using zvl::bench::FrameScene;
using zvl::bench::ObjectDraw;

// FNV-1a over the bytes of one or more buffers.
struct Checksum {
  uint64_t value = 0xcbf29ce484222325ull;
  void add(const uint16_t* data, size_t count) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(data);
    for (size_t i = 0; i < count * 2; ++i) value = (value ^ bytes[i]) * 0x100000001b3ull;
  }
};

// Every draw of the benchmarks into one buffer in turn, depth cleared
// between draws, the colour left to pile up.
uint64_t ObjectDrawsChecksum(ZvlWriterSetKind writers) {
  ObjectDraw draw;
  EXPECT_TRUE(draw.ready());
  ZvlUseWriterSet(draw.handler(), writers);
  Checksum sum;
  const std::pair<DrawMode, float> draws[] = {{DrawMode::Fill, 0.6f},  {DrawMode::Fill, 0.95f},
                                              {DrawMode::Fill, 2.0f},  {DrawMode::Pack, 1.0f},
                                              {DrawMode::Stretch, 1.0f}, {DrawMode::Fill, 0.2f},
                                              {DrawMode::Fill, 0.39f}};
  for (const auto& [mode, scale] : draws) {
    draw.clearDepth();
    draw.draw(mode, scale);
    sum.add(draw.depth().data(), draw.depth().size());
  }
  sum.add(draw.color().data(), draw.color().size());
  EXPECT_TRUE(ZvlSplatTileIsEmpty());
  return sum.value;
}

// Two frames of a scene (the second after the player's erase).
uint64_t FrameChecksum(bool shadows, int objects, float fit) {
  FrameScene scene(shadows, objects, fit);
  Checksum sum;
  for (int frame = 0; frame < 2; ++frame) {
    EXPECT_TRUE(scene.render().has_value());
    const size_t count = size_t(scene.view().pitch()) * size_t(scene.view().height());
    sum.add(scene.view().pixels(), count);
    sum.add(scene.view().depth(), count);
  }
  return sum.value;
}

TEST(BenchScenes, PicturesAreUnchanged) {
  rtest::SetUpRenderer();
  EXPECT_EQ(ObjectDrawsChecksum(ZvlWriterSetKind::Plain), 0x5011786bf865b1b1ull);
  EXPECT_EQ(ObjectDrawsChecksum(ZvlWriterSetKind::Packed), 0x5011786bf865b1b1ull);
  EXPECT_EQ(FrameChecksum(false, 1, 1000.0f), 0x290f8b48f56b14c5ull);
  EXPECT_EQ(FrameChecksum(true, 1, 1000.0f), 0x290f8b48f56b14c5ull);
  EXPECT_EQ(FrameChecksum(false, 4, 700.0f), 0xf5d3cf3f9a0fb865ull);
  EXPECT_EQ(FrameChecksum(true, 4, 700.0f), 0x1e9a65d29ca0514dull);
}

}  // namespace
