// The scenes of the renderer's benchmarks, shared with the test that keeps
// their pictures unchanged: domed balls of chains, a million-3D-pixel object
// drawn on its own, and whole 640 x 480 frames fitted as the player fits a
// file.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "render/render.h"

namespace zvl::bench {

// Two domes of a sphere of radius R (the parts no steeper than 45 degrees),
// as chains that snake through 32 x 32 patches: about 3.08 R^2 3D pixels.
inline std::vector<std::vector<VoxPixel>> DomeChains(int radius, uint8_t color) {
  std::vector<std::vector<VoxPixel>> chains;
  const double limit = 0.7 * radius;
  for (int sign : {1, -1}) {
    for (int py = -radius; py < radius; py += 32) {
      for (int px = -radius; px < radius; px += 32) {
        std::vector<VoxPixel> chain;
        for (int row = 0; row < 32; ++row) {
          const int y = py + row;
          for (int i = 0; i < 32; ++i) {
            const int x = row % 2 == 0 ? px + i : px + 31 - i;
            if (std::hypot(double(x), double(y)) > limit) {
              if (!chain.empty()) chains.push_back(std::move(chain)), chain.clear();
              continue;
            }
            const double zf = sign * std::sqrt(double(radius) * radius - double(x) * x - double(y) * y);
            VoxPixel p;
            p.x = int16_t(x), p.y = int16_t(y), p.z = int16_t(std::lround(zf));
            p.normal = QuantizeNormal(float(x), float(y), float(zf));
            p.color = uint8_t(color + (x + y) % 3);
            if (!chain.empty()) {
              const VoxPixel& q = chain.back();
              if (std::abs(p.x - q.x) > 1 || std::abs(p.y - q.y) > 1 || std::abs(p.z - q.z) > 1)
                chains.push_back(std::move(chain)), chain.clear();
            }
            chain.push_back(p);
          }
        }
        if (!chain.empty()) chains.push_back(std::move(chain));
      }
    }
  }
  return chains;
}

// One part of domed chains.
struct BigObject {
  std::vector<uint8_t> bytes;
  std::vector<VoxPartView> parts;
  int64_t pixels = 0;
  explicit BigObject(int radius, uint8_t color = 0) {
    const auto chains = DomeChains(radius, color);
    VoxBuildPart(chains, 1.0f, VoxPartForm::WithZeroWord, {}, bytes);
    VoxListParts(bytes.data(), bytes.size(), parts);
    pixels = parts.at(0).head.pixelCount;
  }
};

// The object of about a million 3D pixels, built once.
inline const BigObject& Million() {
  static const BigObject object(570);
  return object;
}

// The screen matrix of the single-object draws: turned a little, so that
// the body diagonals differ.
inline void TurnedMatrix(float m[9]) {
  const float c = std::cos(0.3f), s = std::sin(0.3f);
  const float turned[9] = {c, -s, 0, s * 0.8f, c * 0.8f, -0.6f, 0, 0.6f, 0.8f};
  std::copy(turned, turned + 9, m);
}

// The million-3D-pixel object drawn into a square 16-bit frame of side 1400
// (colour = ColorIndex) with one ZvlDrawObject call per draw().
class ObjectDraw {
 public:
  static constexpr int Side = 1400;
  ObjectDraw()
      : color_(size_t(Side) * Side), depth_(size_t(Side) * Side, 0xFFFF), table_(ZvlColorIndexCount) {
    for (int i = 0; i < ZvlColorIndexCount; ++i) table_[i] = uint16_t(i);
    desc_ = FrameBufferDesc{color_.data(), depth_.data(), int16_t(Side), int16_t(Side), 2};
    handler_ = ZvlCreateScnHandler(0, table_.data(), nullptr, &desc_);
    TurnedMatrix(matrix_);
  }
  ~ObjectDraw() { ZvlDestroyScnHandler(handler_); }
  ObjectDraw(const ObjectDraw&) = delete;
  ObjectDraw& operator=(const ObjectDraw&) = delete;

  bool ready() const { return handler_ != nullptr; }
  ScnHandler* handler() { return handler_; }
  void clearDepth() { std::fill(depth_.begin(), depth_.end(), 0xFFFF); }
  void draw(DrawMode mode, float scale) {
    const float position[3] = {Side / 2.0f + 0.3f, Side / 2.0f + 0.6f, 30000};
    const float light[3] = {0.2f, -0.4f, 0.9f};
    ZvlDrawObject(handler_, Million().parts[0], position, matrix_, ZvlMakeRect(0, 0, Side - 1, Side - 1), light,
                  scale, 0.5f, mode);
  }
  const std::vector<uint16_t>& color() const { return color_; }
  const std::vector<uint16_t>& depth() const { return depth_; }

 private:
  std::vector<uint16_t> color_, depth_, table_;
  FrameBufferDesc desc_{};
  ScnHandler* handler_ = nullptr;
  float matrix_[9];
};

// A whole 640 x 480 frame of about a million 3D pixels, fitted as the
// player fits a file (diagonal of the scene box `fit` pixels): four domed
// balls of about 250 000 3D pixels on a 2 x 2 grid, or one of a million.
class FrameScene {
 public:
  FrameScene(bool shadows, int objects, float fit) {
    ZvlDatabasePtr db(ZvlCreateDatabase(0));
    db->version = 8.1f;
    ZvlSetObjectCount(*db, objects);
    for (int i = 0; i < objects; ++i) {
      std::unique_ptr<BigObject> own;
      if (objects > 1) own = std::make_unique<BigObject>(285, uint8_t(i * 12));
      const BigObject& ball = own ? *own : Million();
      ZvlSetObjectGeometry(*db, i, ball.bytes.data(), ball.bytes.size());
      pixels_ += ball.pixels;
    }
    ZvlAllocAnimation(*db, 1);
    for (int i = 0; i < objects; ++i) {
      float* mtx = db->animation[i].matrices;
      mtx[0] = mtx[4] = mtx[8] = 1;
      if (objects > 1) {
        db->animation[i].locations[0] = i % 2 ? 320.0f : -320.0f;
        db->animation[i].locations[1] = i / 2 ? 320.0f : -320.0f;
      }
      db->animation[i].locations[2] = 300.0f;
    }
    ColorTable16 table;
    for (int i = 0; i < ZvlColorIndexCount; ++i) table.colors[i] = uint16_t(i);
    ZvlSetColorTable(*db, table);
    view_.create(640, 480);
    base_.load(std::move(db));
    base_.setCamera(&view_);
    base_.fitToView(400.0f, fit);
    base_.state().shadowsOn = shadows;
  }

  // Erases the last frame as the player does, then renders frame 0.
  std::optional<ZvlRect> render() {
    if (drawn_) {
      view_.fillColor(*drawn_, 0);
      view_.fillDepth(*drawn_, 0xFFFF);
    }
    drawn_ = base_.render(view_.output(), 0);
    return drawn_;
  }
  int64_t pixels() const { return pixels_; }
  const CameraView& view() const { return view_; }

 private:
  CameraView view_;
  ZvlBase base_;
  std::optional<ZvlRect> drawn_;
  int64_t pixels_ = 0;
};

}  // namespace zvl::bench
