#include "samples/sample_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

namespace samples {

namespace {

using Cell = std::tuple<int, int, int>;

bool inside(Shape shape, int radius, int x, int y, int z) {
  const double r = radius;
  switch (shape) {
    case Shape::Ball: return x * x + y * y + z * z <= r * r;
    case Shape::Box: return std::abs(x) <= radius && std::abs(y) <= radius * 3 / 4 && std::abs(z) <= radius / 2;
    case Shape::Ring: {
      const double d = std::sqrt(double(x * x + y * y)) - r * 0.7;
      return d * d + double(z * z) <= (r * 0.3) * (r * 0.3);
    }
  }
  return false;
}

// Surface cells: inside, with at least one of the six neighbours outside.
std::set<Cell> surface(Shape shape, int radius) {
  std::set<Cell> cells;
  for (int x = -radius - 1; x <= radius + 1; ++x)
    for (int y = -radius - 1; y <= radius + 1; ++y)
      for (int z = -radius - 1; z <= radius + 1; ++z) {
        if (!inside(shape, radius, x, y, z)) continue;
        if (!inside(shape, radius, x + 1, y, z) || !inside(shape, radius, x - 1, y, z) ||
            !inside(shape, radius, x, y + 1, z) || !inside(shape, radius, x, y - 1, z) ||
            !inside(shape, radius, x, y, z + 1) || !inside(shape, radius, x, y, z - 1))
          cells.insert({x, y, z});
      }
  return cells;
}

// The shape's signed distance: negative inside, zero on the surface, growing
// by one per unit outside. Unlike the 0/1 occupancy it varies smoothly, so its
// differences give the surface direction to a fraction of a degree; the
// occupancy's staircase tilted normals by up to 12 degrees (three polar steps
// of the NormalIndex grid), which showed as blotches in the shading.
double distance(Shape shape, int radius, double x, double y, double z) {
  const double r = radius;
  switch (shape) {
    case Shape::Ball: return std::sqrt(x * x + y * y + z * z) - r;
    case Shape::Box: {
      const double q[3] = {std::fabs(x) - radius, std::fabs(y) - radius * 3 / 4, std::fabs(z) - radius / 2};
      const double outside =
          std::sqrt(std::pow(std::max(q[0], 0.0), 2) + std::pow(std::max(q[1], 0.0), 2) + std::pow(std::max(q[2], 0.0), 2));
      return outside + std::min(std::max({q[0], q[1], q[2]}), 0.0);
    }
    case Shape::Ring: {
      const double d = std::sqrt(x * x + y * y) - r * 0.7;
      return std::sqrt(d * d + z * z) - r * 0.3;
    }
  }
  return 0;
}

// The outward normal: central differences of the shape's distance.
uint16_t normalAt(Shape shape, int radius, int x, int y, int z) {
  auto f = [&](double a, double b, double c) { return distance(shape, radius, a, b, c); };
  float nx = float(f(x + 1, y, z) - f(x - 1, y, z));
  float ny = float(f(x, y + 1, z) - f(x, y - 1, z));
  float nz = float(f(x, y, z + 1) - f(x, y, z - 1));
  if (nx == 0 && ny == 0 && nz == 0) nz = 1;
  return QuantizeNormal(nx, ny, nz);
}

}  // namespace

std::vector<std::vector<VoxPixel>> shapeChains(Shape shape, int radius, int firstColumn, int columns) {
  std::set<Cell> left = surface(shape, radius);
  std::vector<std::vector<VoxPixel>> chains;
  while (!left.empty()) {
    std::vector<VoxPixel> chain;
    Cell at = *left.begin();
    for (;;) {
      left.erase(at);
      const auto [x, y, z] = at;
      VoxPixel pixel;
      pixel.x = int16_t(x);
      pixel.y = int16_t(y);
      pixel.z = int16_t(z);
      pixel.normal = normalAt(shape, radius, x, y, z);
      // Bands of colour along z.
      const int band = ((z + radius) * columns) / (2 * radius + 1);
      pixel.color = uint8_t(firstColumn + std::clamp(band, 0, columns - 1));
      chain.push_back(pixel);
      bool moved = false;
      for (int dx = -1; dx <= 1 && !moved; ++dx)
        for (int dy = -1; dy <= 1 && !moved; ++dy)
          for (int dz = -1; dz <= 1 && !moved; ++dz) {
            const Cell next{x + dx, y + dy, z + dz};
            if (left.count(next)) {
              at = next;
              moved = true;
            }
          }
      if (!moved) break;
    }
    chains.push_back(std::move(chain));
  }
  return chains;
}

std::vector<uint8_t> shapeObject(Shape shape, int radius, int levels, int firstColumn, int columns,
                                 VoxPartForm form, float pixelSize) {
  std::vector<std::vector<uint8_t>> parts;
  for (int level = 0; level < levels; ++level) {
    const int r = std::max(1, radius >> level);
    const auto chains = shapeChains(shape, r, firstColumn, columns);
    std::vector<uint8_t> part;
    if (!VoxBuildPart(chains, pixelSize * float(1 << level), form, {}, part)) return {};
    parts.push_back(std::move(part));
  }
  std::vector<uint8_t> object;
  if (!VoxJoinParts(parts, form == VoxPartForm::Compact, object)) return {};
  return object;
}

void makePalette(ZorvelPalette& palette, ColorTable16& table) {
  static const float ramps[4][3] = {{230, 60, 40}, {60, 200, 80}, {70, 110, 240}, {240, 200, 60}};
  constexpr int Start = 16, Tones = 12, Columns = 4 * Tones;
  palette = ZorvelPalette{};
  table = ColorTable16{};
  palette.startColor = Start;
  palette.endColor = Start + Columns - 1;
  for (int j = 0; j < Columns; ++j) {
    const float tone = 0.35f + 0.65f * float(j % Tones) / float(Tones - 1);
    for (int k = 0; k < 3; ++k) palette.colors[Start + j][k] = uint8_t(ramps[j / Tones][k] * tone);
  }
  table.gradientColors = Columns;
  table.flatMaterials = 0;
  for (int j = 0; j < Columns; ++j) {
    for (int row = 0; row < ZvlShadeRows; ++row) {
      // Darkest at row 0, the colour itself near the top, a little highlight last.
      const float light = 0.15f + 0.85f * float(row) / float(ZvlShadeRows - 1);
      const float highlight = row >= 20 ? float(row - 19) * 18.0f : 0.0f;
      int rgb[3];
      for (int k = 0; k < 3; ++k)
        rgb[k] = std::min(255, int(float(palette.colors[Start + j][k]) * light + highlight));
      table.colors[row * 256 + j] = uint16_t(((rgb[0] >> 3) << 10) | ((rgb[1] >> 3) << 5) | (rgb[2] >> 3));
      // The 8-bit shade: the nearest palette entry to the widened colour.
      int best = Start, bestDistance = 1 << 30;
      for (int e = Start; e < Start + Columns; ++e) {
        int d = 0;
        for (int k = 0; k < 3; ++k) {
          const int diff = ((rgb[k] >> 3) << 3) - palette.colors[e][k];
          d += diff * diff;
        }
        if (d < bestDistance) {
          bestDistance = d;
          best = e;
        }
      }
      palette.shades[row][j] = uint8_t(best);
    }
  }
}

ZvlDatabasePtr makeSampleScene(int frames, bool streamable) {
  ZvlDatabasePtr db(ZvlCreateDatabase(streamable ? ZvlStreamable : 0));
  if (!db) return nullptr;
  ZorvelPalette palette;
  ColorTable16 table;
  makePalette(palette, table);
  struct ObjectSpec {
    const char* name;
    Shape shape;
    int radius;
    int firstColumn;
  };
  const ObjectSpec objects[] = {{"ball", Shape::Ball, 20, 0}, {"box", Shape::Box, 24, 12}, {"ring", Shape::Ring, 22, 36}};
  const int count = int(std::size(objects));
  db->version = 8.1f;
  if (ZvlSetDatabaseName(*db, "sample") != 0 || ZvlSetPaletteName(*db, "ramps.act") != 0 ||
      ZvlSetSceneName(*db, "three shapes") != 0 || ZvlSetPalette(*db, palette) != 0 ||
      ZvlSetColorTable(*db, table) != 0 || ZvlSetObjectCount(*db, count) != 0 || ZvlAllocAnimation(*db, frames) != 0)
    return nullptr;
  for (int i = 0; i < count; ++i) {
    const auto bytes = shapeObject(objects[i].shape, objects[i].radius, 2, objects[i].firstColumn, 12,
                                   VoxPartForm::WithZeroWord, 1.0f);
    if (bytes.empty() || ZvlSetObjectName(*db, i, objects[i].name) != 0 ||
        ZvlSetObjectGeometry(*db, i, bytes.data(), bytes.size()) != 0)
      return nullptr;
  }
  // Ball bounces on the left, box turns in the middle, ring circles the box.
  for (int f = 0; f < frames; ++f) {
    const float t = float(f) / float(frames > 1 ? frames : 1);
    const float angle = t * 6.2831853f;
    for (int i = 0; i < count; ++i) {
      ObjectAnimation& a = db->animation[i];
      float* location = a.locations + f * 3;
      float* m = a.matrices + f * 9;
      a.flags[f] = 0;
      float turn = 0, x = 0, y = 0, z = 0;
      if (i == 0) {
        x = -60;
        z = 30 + 30 * std::fabs(std::sin(angle * 2));
      } else if (i == 1) {
        turn = angle;
        z = 30;
      } else {
        turn = -angle * 2;
        x = 60 * std::cos(angle);
        y = 60 * std::sin(angle);
        z = 40;
      }
      location[0] = x;
      location[1] = y;
      location[2] = z;
      const float c = std::cos(turn), s = std::sin(turn);
      const float rotation[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
      std::copy(rotation, rotation + 9, m);
    }
  }
  // The ring hangs on the box: parent 1, pivot at the box's centre.
  if (ZvlAllocObjectLink(*db, 2, 0) != 0) return nullptr;
  db->links[2].parents[0] = 1;
  return db;
}

}  // namespace samples
