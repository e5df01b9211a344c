// Drawing one part of one object: for every chain, a splat into the
// SplatTile and a composite into the frame (ZvlDrawObject), or a coverage
// splat and a shadow composite (ZvlDrawShadow); and the choice of the level
// of detail (ZvlSelectLevel).
//
// Fixed point: tile positions are 8.8 (x low, y high half of a uint32, tile
// centre 128.0 = 0x8000), depths 8.8 at the start and 16.16 while stepping;
// the integer matrix holds 8.8 tile pixels (x, y rows) and 8.8 depth units
// (z row) per grid step.
#include <algorithm>
#include <cmath>

#include "render/matrix3.h"
#include "render/placement.h"
#include "render/shade_table.h"
#include "render/writers.h"

namespace zvl::render {
namespace {

constexpr float Sqrt2 = 1.4142271f;  // the Pack mode's magnification
constexpr float HalfSqrt2 = 0.7071f;

// Screen positions are kept well inside int32 so that rectangles computed
// from them cannot overflow; anything farther is off every buffer anyway.
constexpr double PositionLimit = 1 << 20;

// Rounds half away from zero, clamped.
int32_t RoundFixed(double v, double limit = double(1 << 30)) {
  if (!(v == v)) return 0;
  return int32_t(std::clamp(std::round(v), -limit, limit));
}

struct Box {
  int x0, y0, x1, y1;  // inclusive
  bool empty() const { return x1 < x0 || y1 < y0; }
};

enum class Splat { OnePoint, ThreePoint, Coverage };
enum class Compose { OneToOne, Magnified, Doubled };

// What stays the same for every chain of one draw call.
struct Setup {
  ScnHandler* handler;
  uint32_t* tile;
  ZvlRect* dirty;
  const WriterSet* writers;
  Box clip;             // buffer coordinates, inside the buffer, not empty
  int origin[2];        // where position (0, 0) lies in the buffer
  const float* matrix;  // normalised screen matrix, row-major
  float scale, zscale;  // as given: for chain centres
  float splatScale;     // screen pixels per 3D pixel in the tile
  float subPixel;       // f: 8.8 tile units per screen pixel of sub-pixel offset
  Splat splat;
  Compose compose;
  float magnification;  // Magnified: screen pixels per tile pixel
  bool shadow;
  const uint16_t* shadeRow;
  // The integer matrix (8.8 tile pixels and 8.8 depth units per grid step)
  // and the StepTable made from it.
  int32_t mx[3], my[3], mz[3];
  StepTable* steps;
};

// Step 1 and 2 of every chain, the same for all chains of one call: the
// integer matrix from the screen matrix and the scales, and the StepTable.
void BuildSteps(Setup& s, StepTable& steps) {
  const float* m = s.matrix;
  const double a = s.splatScale, b = s.zscale;
  for (int k = 0; k < 3; ++k) {
    s.mx[k] = RoundFixed(m[k] * 256.0 * a, 32767);
    s.my[k] = RoundFixed(m[3 + k] * 256.0 * a, 32767);
    s.mz[k] = s.shadow ? 0 : RoundFixed(m[6 + k] * 256.0 * b, 1 << 21);
  }
  uint64_t perCode[32] = {};
  for (int code = 0; code < VoxMoveCodeCount; ++code) {
    const VoxStep d = VoxMoveSteps[code];
    const int32_t xs = s.mx[0] * d.dx + s.mx[1] * d.dy + s.mx[2] * d.dz;
    const int32_t ys = s.my[0] * d.dx + s.my[1] * d.dy + s.my[2] * d.dz;
    const int32_t zs = s.mz[0] * d.dx + s.mz[1] * d.dy + s.mz[2] * d.dz;
    const uint32_t xy = uint32_t(xs) + (uint32_t(ys) << 16);
    perCode[code] = (uint64_t(uint32_t(zs) << 8) << 32) | xy;
  }
  ExpandStepTable(perCode, s.shadeRow, steps);
  s.steps = &steps;
}

// Where the clip rectangle given to a draw call lies in the buffer: cut to
// the handler's clip rectangle and always to the buffer itself. `origin`
// becomes the corner of the clip after the cut to the handler's: positions
// are given from there.
Box ClipBox(const ScnHandler& handler, const ZvlRect& clip, int origin[2]) {
  Box box{clip.x0, clip.y0, clip.x1, clip.y1};
  origin[0] = clip.x0, origin[1] = clip.y0;
  if (clip.width <= 0 || clip.height <= 0) return Box{0, 0, -1, -1};
  if (!handler.clip.empty()) {
    box.x0 = std::max<int>(box.x0, handler.clip.x0);
    box.y0 = std::max<int>(box.y0, handler.clip.y0);
    box.x1 = std::min<int>(box.x1, handler.clip.x1);
    box.y1 = std::min<int>(box.y1, handler.clip.y1);
  }
  origin[0] = box.x0, origin[1] = box.y0;
  box.x0 = std::max(box.x0, 0);
  box.y0 = std::max(box.y0, 0);
  box.x1 = std::min<int>(box.x1, handler.buffer->width - 1);
  box.y1 = std::min<int>(box.y1, handler.buffer->height - 1);
  return box;
}

void ClearDirty(const Setup& s) {
  s.writers->clearTileRect(s.tile, *s.dirty);
  *s.dirty = ZvlEmptyRect;
}

CompositeJob BaseJob(const Setup& s) {
  CompositeJob job;
  job.tile = s.tile;
  const FrameBufferDesc& buffer = *s.handler->buffer;
  job.color = buffer.colorBuffer;
  job.colorPitch = s.handler->colorPitch;
  job.depth = buffer.depthBuffer;
  job.depthPitch = s.handler->depthPitch;
  job.colorTable = s.handler->colorTable;
  job.shadowTable = s.handler->shadowTable;
  return job;
}

// 1:1: tile cell c lands on screen column X + c - 128. Cells that fall
// outside the clip rectangle are cleared; the rest are copied and emptied.
ZvlRect ComposeOneToOne(const Setup& s, int X, int Y) {
  ZvlRect cells = *s.dirty;
  int left = X + cells.x0 - 128, right = X + cells.x1 - 128;
  int top = Y + cells.y0 - 128, bottom = Y + cells.y1 - 128;
  if (left > s.clip.x1 || right < s.clip.x0 || top > s.clip.y1 || bottom < s.clip.y0) {
    ClearDirty(s);
    return ZvlEmptyRect;
  }
  if (left < s.clip.x0) {
    const int n = s.clip.x0 - left;
    s.writers->clearTileRect(s.tile, ZvlMakeRect(cells.x0, cells.y0, cells.x0 + n - 1, cells.y1));
    cells = ZvlMakeRect(cells.x0 + n, cells.y0, cells.x1, cells.y1);
    left = s.clip.x0;
  }
  if (top < s.clip.y0) {
    const int n = s.clip.y0 - top;
    s.writers->clearTileRect(s.tile, ZvlMakeRect(cells.x0, cells.y0, cells.x1, cells.y0 + n - 1));
    cells = ZvlMakeRect(cells.x0, cells.y0 + n, cells.x1, cells.y1);
    top = s.clip.y0;
  }
  if (right > s.clip.x1) {
    const int n = right - s.clip.x1;
    s.writers->clearTileRect(s.tile, ZvlMakeRect(cells.x1 - n + 1, cells.y0, cells.x1, cells.y1));
    cells = ZvlMakeRect(cells.x0, cells.y0, cells.x1 - n, cells.y1);
    right = s.clip.x1;
  }
  if (bottom > s.clip.y1) {
    const int n = bottom - s.clip.y1;
    s.writers->clearTileRect(s.tile, ZvlMakeRect(cells.x0, cells.y1 - n + 1, cells.x1, cells.y1));
    cells = ZvlMakeRect(cells.x0, cells.y0, cells.x1, cells.y1 - n);
    bottom = s.clip.y1;
  }
  CompositeJob job = BaseJob(s);
  job.cells = cells;
  job.left = left;
  job.top = top;
  (s.shadow ? s.writers->shadowComposite : s.writers->composite)(job);
  *s.dirty = ZvlEmptyRect;
  return ZvlMakeRect(left, top, right, bottom);
}

// Magnified by l > 1 or doubled: screen pixel s takes the cell holding tile
// coordinate 128 + (s - X) / l; the screen rectangle is the dirty cells'
// cover, cut to the clip rectangle. The tile is cleared afterwards.
ZvlRect ComposeScaled(const Setup& s, int X, int Y) {
  const ZvlRect cells = *s.dirty;
  const bool doubled = s.compose == Compose::Doubled;
  const double l = doubled ? 2.0 : double(s.magnification);
  auto first = [&](int origin, int cell) {
    return origin + int(std::clamp(std::ceil((cell - 128) * l), -PositionLimit * 4, PositionLimit * 4));
  };
  const int left = first(X, cells.x0), right = first(X, cells.x1 + 1) - 1;
  const int top = first(Y, cells.y0), bottom = first(Y, cells.y1 + 1) - 1;
  const Box screen{std::max(left, s.clip.x0), std::max(top, s.clip.y0), std::min(right, s.clip.x1),
                   std::min(bottom, s.clip.y1)};
  if (screen.empty()) {
    ClearDirty(s);
    return ZvlEmptyRect;
  }
  CompositeJob job = BaseJob(s);
  job.cells = cells;
  job.screen = ZvlMakeRect(screen.x0, screen.y0, screen.x1, screen.y1);
  // The first screen pixel of the whole picture starts in the first cell;
  // clipped pixels advance the 32.32 tile coordinate by whole steps, so a
  // clipped picture is exactly the visible part of the whole one. The step
  // is rounded up so that a pixel on a cell's edge lands in that cell.
  constexpr double One = 4294967296.0;  // 1.0 in 32.32
  job.step = doubled ? uint64_t(1) << 31 : uint64_t(std::ceil(One / l));
  auto tileStart = [&](int origin, int first, int visible, int cell, int lastCell) {
    const double t = std::max(std::floor((128.0 + (first - origin) / l) * One), double(cell) * One);
    const uint64_t at = uint64_t(t) + uint64_t(visible - first) * job.step;
    return std::min<uint64_t>(at, uint64_t(lastCell + 1) << 32);
  };
  job.tx0 = tileStart(X, left, screen.x0, cells.x0, cells.x1);
  job.ty0 = tileStart(Y, top, screen.y0, cells.y0, cells.y1);
  if (s.shadow) {
    (doubled ? s.writers->shadowCompositeDoubled : s.writers->shadowCompositeMagnified)(job);
  } else if (doubled) {
    s.writers->compositeDoubled(job);
  } else {
    s.writers->resolveTile(s.tile, cells, s.handler->colorTable);
    s.writers->compositeMagnified(job);
  }
  ClearDirty(s);
  return job.screen;
}

// The box of a chain in grid steps, relative to its origin (the grid centre
// of a simple part, the chain centre of a complex one), and where it starts.
struct ChainGeometry {
  int16_t minimum[3], size[3], start[3];
  const uint8_t* moves;
  int32_t count;
};

// Splats one chain whose origin lies at `position` (buffer x, y; depth) and
// composites it. Returns the rectangle written.
ZvlRect DrawChain(const Setup& s, const double position[3], const ChainGeometry& chain) {
  const float* m = s.matrix;
  const double a = s.splatScale, b = s.zscale;
  const int32_t *mx = s.mx, *my = s.my;
  // 3. The start point: its offset from the origin plus the origin's
  // sub-pixel position, around the tile centre.
  const int16_t* st = chain.start;
  const double sx = (st[0] * m[0] + st[1] * m[1] + st[2] * m[2]) * 256.0 * a;
  const double sy = (st[0] * m[3] + st[1] * m[4] + st[2] * m[5]) * 256.0 * a;
  const double sz = s.shadow ? 0.0 : (st[0] * m[6] + st[1] * m[7] + st[2] * m[8]) * 256.0 * b;
  // Whole pixels and the sub-pixel part are taken by floor, so that moving an
  // object by whole pixels moves its picture exactly, on either side of 0.
  const double fx = position[0] - std::floor(position[0]), fy = position[1] - std::floor(position[1]);
  const int32_t px = RoundFixed(sx + fx * s.subPixel) + 0x8000;
  const int32_t py = RoundFixed(sy + fy * s.subPixel) + 0x8000;
  const uint32_t startPosition = (uint32_t(py) << 16) + uint32_t(px);
  int32_t startDepth = RoundFixed(sz + position[2] * 256.0);          // 8.8
  if (s.shadow) startDepth = std::clamp(startDepth, 0, 0xFFFE << 8);  // a coverage word is never the empty word
  // 4. The dirty rectangle: the corner 3D pixels of the box stepped from
  // the start point exactly as the splat steps them. Positions are linear
  // in the 3D pixel, so every 3D pixel of the box lands between the corners'
  // cells; the three-point splat's extra points lie less than one cell
  // beyond.
  // Per axis the nearer and farther end of the box gives the extremes, so
  // the eight corners need not be stepped one by one.
  int64_t x0 = px, x1 = px, y0 = py, y1 = py;
  for (int k = 0; k < 3; ++k) {
    const int64_t lo = chain.minimum[k] - st[k], hi = lo + chain.size[k] - 1;
    const int64_t xa = mx[k] * lo, xb = mx[k] * hi, ya = my[k] * lo, yb = my[k] * hi;
    x0 += std::min(xa, xb), x1 += std::max(xa, xb);
    y0 += std::min(ya, yb), y1 += std::max(ya, yb);
  }
  auto cell = [](int64_t v) { return int(std::clamp<int64_t>(v >> 8, -(1 << 20), 1 << 20)); };
  int cx0 = cell(x0), cx1 = cell(x1), cy0 = cell(y0), cy1 = cell(y1);
  const int margin = s.splat == Splat::ThreePoint ? 1 : 0;
  cx0 -= margin, cy0 -= margin, cx1 += margin, cy1 += margin;
  if (cx0 < 0 || cy0 < 0 || cx1 > 255 || cy1 > 255) cx0 = cy0 = 0, cx1 = cy1 = 255;
  *s.dirty = ZvlMakeRect(cx0, cy0, cx1, cy1);
  // 5. Splat.
  SplatJob job;
  job.tile = s.tile;
  job.moves = chain.moves;
  job.count = chain.count;
  job.steps = s.steps;
  job.shadeRow = s.shadeRow;
  job.position = startPosition;
  job.depth = uint32_t(startDepth) << 8;
  switch (s.splat) {
    case Splat::OnePoint: s.writers->onePointSplat(job); break;
    case Splat::Coverage: s.writers->coverageSplat(job); break;
    case Splat::ThreePoint: {
      // The two extra points sit half a body diagonal away: d1 the longest
      // projected diagonal, d2 the partner farthest from it.
      static constexpr int Diagonals[4] = {0, 2, 8, 6};
      auto xOf = [&](int code) {
        return int32_t(mx[0] * VoxMoveSteps[code].dx + mx[1] * VoxMoveSteps[code].dy + mx[2] * VoxMoveSteps[code].dz);
      };
      auto yOf = [&](int code) {
        return int32_t(my[0] * VoxMoveSteps[code].dx + my[1] * VoxMoveSteps[code].dy + my[2] * VoxMoveSteps[code].dz);
      };
      int d1 = Diagonals[0];
      int64_t best = -1;
      for (int code : Diagonals) {
        const int64_t x = xOf(code), y = yOf(code), len = x * x + y * y;
        if (len > best) best = len, d1 = code;
      }
      const int partners[2] = {(d1 == 0 || d1 == 8) ? 2 : 0, (d1 == 0 || d1 == 8) ? 6 : 8};
      int d2 = partners[0];
      best = -1;
      for (int code : partners) {
        const int64_t x = xOf(code) - xOf(d1), y = yOf(code) - yOf(d1), dist = x * x + y * y;
        if (dist > best) best = dist, d2 = code;
      }
      job.offset1 = uint32_t(xOf(d1) / 2) + (uint32_t(yOf(d1) / 2) << 16);
      job.offset2 = uint32_t(xOf(d2) / 2) + (uint32_t(yOf(d2) / 2) << 16);
      s.writers->threePointSplat(job);
      break;
    }
  }
  // 6. Composite.
  const int X = int(std::floor(position[0])), Y = int(std::floor(position[1]));
  return s.compose == Compose::OneToOne ? ComposeOneToOne(s, X, Y) : ComposeScaled(s, X, Y);
}

// Every chain of the part, each through the tile; the handler's drawn
// rectangle becomes the union.
void DrawChains(const Setup& s, const VoxPartView& part, const double origin[3]) {
  ZvlRect drawn = ZvlEmptyRect;
  VoxChainCursor cursor(part);
  VoxChainView view;
  while (cursor.next(view)) {
    ChainGeometry chain;
    chain.moves = view.moves;
    chain.count = view.count;
    double position[3] = {origin[0], origin[1], origin[2]};
    if (view.chainHead == nullptr) {
      for (int k = 0; k < 3; ++k) {
        chain.minimum[k] = part.head.minimum[k];
        chain.size[k] = part.head.dimensions[k];
        chain.start[k] = part.head.start[k];
      }
    } else {
      const ChainHead head = VoxReadChainHead(view.chainHead);
      for (int k = 0; k < 3; ++k) {
        chain.minimum[k] = head.minimum[k];
        chain.size[k] = head.size[k];
        chain.start[k] = head.start[k];
      }
      const float* m = s.matrix;
      const double c0 = head.centre[0], c1 = head.centre[1], c2 = head.centre[2];
      position[0] += (m[0] * c0 + m[1] * c1 + m[2] * c2) * s.scale;
      position[1] += (m[3] * c0 + m[4] * c1 + m[5] * c2) * s.scale;
      if (!s.shadow) position[2] += (m[6] * c0 + m[7] * c1 + m[8] * c2) * s.zscale;
    }
    position[0] = std::clamp(position[0], -PositionLimit, PositionLimit);
    position[1] = std::clamp(position[1], -PositionLimit, PositionLimit);
    drawn = ZvlUniteRect(drawn, DrawChain(s, position, chain));
  }
  s.handler->drawn = drawn;
}


// The shade row for a light given in screen space: brought into the part's
// space by the inverse matrix, then quantised like a normal.
const uint16_t* ShadeRowForLight(const float m[9], const float light[3]) {
  float inv[9];
  float l[3] = {light[0], light[1], light[2]};
  if (Invert3(m, inv)) {
    l[0] = inv[0] * light[0] + inv[1] * light[1] + inv[2] * light[2];
    l[1] = inv[3] * light[0] + inv[4] * light[1] + inv[5] * light[2];
    l[2] = inv[6] * light[0] + inv[7] * light[1] + inv[8] * light[2];
  }
  int polar = 0, azimuth = 0;
  QuantizeLight(l[0], l[1], l[2], polar, azimuth);
  return ShadeWordRowFor(polar, azimuth);
}

// How a draw mode turns the scale given to a draw (screen pixels per 3D
// pixel) into the splat's scale and sub-pixel factor and the compositor.
// The object: Pack splats one point at up to 0.7071 and magnifies the tile
// 1.4142 times above that; Fill splats at up to 1.0 (three points above
// 0.7071) and magnifies above 1.0; Stretch splats at half the scale and
// doubles, and is not drawn above 1.4142. The shadow: Pack and Fill keep
// the scale (at most 1.0 in the tile, magnified above), Stretch as the
// object. `subPixel` is the tile's 8.8 units per screen pixel, so a doubled
// tile takes half the screen's sub-pixel offset.
struct ModeScales {
  bool drawn = true;
  float splatScale = 0, subPixel = 256, magnification = 1;
  Splat splat = Splat::OnePoint;
  Compose compose = Compose::OneToOne;
};

ModeScales ScalesFor(DrawMode mode, float scale, bool shadow) {
  ModeScales m;
  if (mode == DrawMode::Stretch) {
    if (scale > 1.4142f) return ModeScales{false};
    m.splatScale = m.magnification = scale * 0.5f;
    m.subPixel = 128.0f;
    m.compose = Compose::Doubled;
  } else if (mode == DrawMode::Pack && !shadow) {
    m.splatScale = scale;
    m.magnification = scale;
    if (scale > HalfSqrt2) m.subPixel = 181.0176f / scale, m.splatScale = HalfSqrt2, m.magnification = scale * Sqrt2;
  } else {
    m.splatScale = scale;
    m.magnification = scale;
    if (scale > 1.0f) m.subPixel = 256.0f / scale, m.splatScale = 1.0f;
    if (!shadow && m.splatScale > HalfSqrt2) m.splat = Splat::ThreePoint;
  }
  if (shadow) m.splat = Splat::Coverage;
  if (m.compose != Compose::Doubled) m.compose = m.magnification <= 1.0f ? Compose::OneToOne : Compose::Magnified;
  return m;
}

// Common start of both entries: the handler can draw, the part has 3D
// pixels, the numbers are finite. Leaves the drawn rectangle empty.
bool Drawable(ScnHandler* handler, const VoxPartView& part, const float position[3], float scale, float zscale) {
  if (handler == nullptr) return false;
  handler->drawn = ZvlEmptyRect;
  if (handler->buffer == nullptr || handler->writers == nullptr || CurrentTile() == nullptr) return false;
  if (handler->buffer->pixelSize != handler->pixelSize) return false;
  if (handler->buffer->colorBuffer == nullptr || handler->buffer->depthBuffer == nullptr) return false;
  if (part.bytes == nullptr || part.head.pixelCount <= 0) return false;
  if (!std::isfinite(position[0]) || !std::isfinite(position[1]) || !std::isfinite(position[2])) return false;
  return std::isfinite(scale) && scale > 0.0f && std::isfinite(zscale);
}

// What every draw of a part starts from: the clip box, the tile and the
// handler's writers, the matrix and scales. An empty clip box means nothing
// is drawn.
Setup BeginSetup(ScnHandler* handler, const ZvlRect& clip, const float matrix[9], float scale, float zscale,
                 const ModeScales& m) {
  Setup setup{};
  setup.clip = ClipBox(*handler, clip, setup.origin);
  setup.handler = handler;
  SplatTile* tile = CurrentTile();
  setup.tile = tile->words;
  setup.dirty = &tile->dirty;
  setup.writers = handler->writers;
  setup.matrix = matrix;
  setup.scale = scale;
  setup.zscale = zscale;
  setup.splatScale = m.splatScale;
  setup.subPixel = m.subPixel;
  setup.magnification = m.magnification;
  setup.splat = m.splat;
  setup.compose = m.compose;
  setup.shadow = m.splat == Splat::Coverage;
  return setup;
}

}  // namespace
}  // namespace zvl::render

using namespace zvl::render;

void ZvlDrawObject(ScnHandler* handler, const VoxPartView& part, const float position[3], const float matrix[9],
                   const ZvlRect& clip, const float light[3], float scale, float zscale, DrawMode mode) {
  if (!Drawable(handler, part, position, scale, zscale)) return;
  // 1. Depth convention.
  const bool inverted = (handler->flags & ZvlInvertedDepth) != 0;
  const double z = inverted ? 65535.0 - position[2] : double(position[2]);
  // The 16.16 depth accumulator holds depths 0..65535: an object beyond the
  // far limit is not drawn, and one whose far side would pass it is
  // flattened towards it, as frame composition does.
  if (!(z <= 65535.0)) return;
  const float reach = std::max(128.0f, PartReach(part.head));
  if (!(z + double(zscale) * reach <= 65535.0)) zscale = float((65535.0 - z) / reach);
  // 2. The compositing scale by mode.
  const ModeScales m = ScalesFor(mode, scale, false);
  if (!m.drawn) return;
  // 3. The clip rectangle.
  Setup setup = BeginSetup(handler, clip, matrix, scale, zscale, m);
  if (setup.clip.empty()) return;
  setup.shadeRow = ShadeRowForLight(matrix, light);
  StepTable steps;
  BuildSteps(setup, steps);
  const double origin[3] = {std::clamp<double>(position[0] + setup.origin[0], -PositionLimit, PositionLimit),
                            std::clamp<double>(position[1] + setup.origin[1], -PositionLimit, PositionLimit), z};
  DrawChains(setup, part, origin);
}

void ZvlDrawShadow(ScnHandler* handler, const VoxPartView& part, const float position[3], const float matrix[9],
                   const ZvlRect& clip, float scale, float zscale, DrawMode mode) {
  if (!Drawable(handler, part, position, scale, zscale)) return;
  if (handler->shadowTable == nullptr) return;
  const bool inverted = (handler->flags & ZvlInvertedDepth) != 0;
  const double z = inverted ? 65535.0 - position[2] : double(position[2]);
  const ModeScales m = ScalesFor(mode, scale, true);
  if (!m.drawn) return;
  Setup setup = BeginSetup(handler, clip, matrix, scale, zscale, m);
  if (setup.clip.empty()) return;
  setup.shadeRow = ShadeWordRowFor(0, 0);
  const double origin[3] = {std::clamp<double>(position[0] + setup.origin[0], -PositionLimit, PositionLimit),
                            std::clamp<double>(position[1] + setup.origin[1], -PositionLimit, PositionLimit),
                            std::clamp(z, 0.0, 65534.0)};
  StepTable steps;
  BuildSteps(setup, steps);
  DrawChains(setup, part, origin);
}

const VoxPartView* ZvlSelectLevel(std::span<const VoxPartView> parts, float unitsPerPixel, DrawMode mode) {
  if (parts.empty()) return nullptr;
  float u = unitsPerPixel;
  if (mode == DrawMode::Pack) u *= 0.7071f;
  if (mode == DrawMode::Stretch) u *= 1.4142f;
  size_t i = 0;
  while (i + 1 < parts.size() && (parts[i].head.kind & VoxKindNextPart) && u > parts[i].head.pixelSize) {
    if (u >= parts[i + 1].head.pixelSize)
      ++i;
    else
      break;
  }
  return &parts[i];
}

// The file layer's rule, so that what a converter accepts is what the
// renderer draws.
bool ZvlCheckPart(const VoxPartView& part) { return VoxCheckMoves(part); }
