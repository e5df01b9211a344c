// Helpers of the renderer's tests: parts built from chains, buffers with
// guard bands, a colour table that shows each pixel's ColorIndex, and a
// handler that is destroyed with its scope.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "render/render_internal.h"

namespace rtest {

// The renderer set up on this processor with the default I/O functions.
inline void SetUpRenderer() {
  ZvlSetCpuProbe(nullptr);
  ASSERT_EQ(ZvlSetup(&ZvlDefaultIoFunctions()), 0) << ZvlGetErrorText();
}

// A checked part from chains (its storage travels with the view).
struct Part {
  std::vector<uint8_t> bytes;
  std::vector<VoxPartView> parts;
  const VoxPartView& view() const { return parts.at(0); }
};

inline Part MakePart(const std::vector<std::vector<VoxPixel>>& chains, float pixelSize = 1.0f) {
  Part part;
  EXPECT_TRUE(VoxBuildPart(chains, pixelSize, VoxPartForm::WithZeroWord, {}, part.bytes));
  EXPECT_TRUE(VoxListParts(part.bytes.data(), part.bytes.size(), part.parts));
  return part;
}

inline VoxPixel Pixel(int x, int y, int z, uint8_t color = 1, uint16_t normal = 0) {
  VoxPixel p;
  p.x = int16_t(x), p.y = int16_t(y), p.z = int16_t(z);
  p.color = color;
  p.normal = normal;
  return p;
}

// A random chain of `count` neighbouring 3D pixels inside a cube of side
// `side` around the origin.
inline std::vector<VoxPixel> RandomChain(std::mt19937& rng, int count, int side) {
  std::vector<VoxPixel> chain;
  int x = 0, y = 0, z = 0;
  std::uniform_int_distribution<int> step(-1, 1), normal(0, 2047), color(0, 255);
  const int half = side / 2;
  while (int(chain.size()) < count) {
    int dx = step(rng), dy = step(rng), dz = step(rng);
    if (dx == 0 && dy == 0 && dz == 0) continue;
    if (std::abs(x + dx) > half || std::abs(y + dy) > half || std::abs(z + dz) > half) continue;
    x += dx, y += dy, z += dz;
    chain.push_back(Pixel(x, y, z, uint8_t(color(rng)), uint16_t(normal(rng))));
  }
  return chain;
}

// Colour and depth buffers with guard bands before and after, and the
// FrameBufferDesc over them.
template <class PixelT>
struct Buffers {
  static constexpr size_t Guard = 64;
  static constexpr PixelT ColorGuard = PixelT(0x5A5A);
  static constexpr uint16_t DepthGuard = 0xA5A5;
  int width, height;
  std::vector<PixelT> color;
  std::vector<uint16_t> depth;
  FrameBufferDesc desc;

  Buffers(int w, int h, PixelT background = 0, uint16_t depthValue = 0xFFFF)
      : width(w),
        height(h),
        color(size_t(w) * h + 2 * Guard, ColorGuard),
        depth(size_t(w) * h + 2 * Guard, DepthGuard) {
    std::fill(color.begin() + Guard, color.end() - Guard, background);
    std::fill(depth.begin() + Guard, depth.end() - Guard, depthValue);
    desc.colorBuffer = color.data() + Guard;
    desc.depthBuffer = depth.data() + Guard;
    desc.width = int16_t(w);
    desc.height = int16_t(h);
    desc.pixelSize = uint8_t(sizeof(PixelT));
  }
  PixelT& at(int x, int y) { return color[Guard + size_t(y) * width + x]; }
  uint16_t& z(int x, int y) { return depth[Guard + size_t(y) * width + x]; }
  bool guardsIntact() const {
    for (size_t i = 0; i < Guard; ++i)
      if (color[i] != ColorGuard || color[color.size() - 1 - i] != ColorGuard || depth[i] != DepthGuard ||
          depth[depth.size() - 1 - i] != DepthGuard)
        return false;
    return true;
  }
  // Pixels whose depth is not `background`.
  int drawnCount(uint16_t background = 0xFFFF) {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += z(x, y) != background;
    return n;
  }
};

// A 16-bit colour table whose entry is the ColorIndex itself, and an 8-bit
// one whose entry is the palette index column.
inline std::vector<uint16_t> IndexTable16() {
  std::vector<uint16_t> t(ZvlColorIndexCount);
  std::iota(t.begin(), t.end(), uint16_t(0));
  return t;
}
inline std::vector<uint8_t> IndexTable8() {
  std::vector<uint8_t> t(ZvlColorIndexCount);
  for (int i = 0; i < ZvlColorIndexCount; ++i) t[i] = uint8_t(i & 0xFF);
  return t;
}

struct HandlerDeleter {
  void operator()(ScnHandler* h) const { ZvlDestroyScnHandler(h); }
};
using HandlerPtr = std::unique_ptr<ScnHandler, HandlerDeleter>;

inline constexpr float Identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
inline constexpr float LightZ[3] = {0, 0, 1};

inline ZvlRect WholeClip(int w, int h) { return ZvlMakeRect(0, 0, w - 1, h - 1); }

}  // namespace rtest
