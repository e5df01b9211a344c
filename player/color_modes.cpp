#include "player/color_modes.h"

#include "zvlfile/database.h"

#include <algorithm>
#include <cmath>

namespace zvplay {

void BuildIndexColorTable(const ZorvelPalette& palette, PixelFormat format, std::span<uint16_t> out) {
  const size_t n = std::min(out.size(), ColorTableEntries);
  for (size_t index = 0; index < n; ++index) {
    const size_t shade = index >> 8, column = index & 0xFF;
    const uint8_t* rgb = palette.colors[palette.shades[shade][column]];
    out[index] = PackPixel(rgb[0], rgb[1], rgb[2], format);
  }
}

void ConvertColorTable(std::span<const uint16_t> in, PixelFormat from, PixelFormat to, std::span<uint16_t> out) {
  const size_t n = std::min(in.size(), out.size());
  for (size_t i = 0; i < n; ++i) out[i] = PackPixel(UnpackPixel(in[i], from), to);
}

void TintColorTable(std::span<const uint16_t> saved, PixelFormat savedFormat, Rgb light, PixelFormat format,
                    std::span<uint16_t> out) {
  constexpr double White = 441.67296;  // length of (255, 255, 255)
  const double lr = light.r, lg = light.g, lb = light.b;
  const double k = std::sqrt(lr * lr + lg * lg + lb * lb) / White;
  const double mean = (lr + lg + lb) / 3.0;
  const double shift[3] = {lr - mean, lg - mean, lb - mean};
  const size_t n = std::min(saved.size(), out.size());
  for (size_t i = 0; i < n; ++i) {
    const Rgb c = UnpackPixel(saved[i], savedFormat);
    double v[3] = {c.r * k, c.g * k, c.b * k};
    const double u = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(u > 0.0)) {
      out[i] = 0;
      continue;
    }
    for (int j = 0; j < 3; ++j) {
      v[j] += shift[j];
      if (v[j] < 0.0) v[j] = 1.0;
    }
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(len > 0.0)) {
      out[i] = 0;
      continue;
    }
    // Rounded to the nearest value so that white light gives back every entry.
    int comp[3];
    for (int j = 0; j < 3; ++j) comp[j] = int(std::lround(std::min(v[j] * (u / len), 255.0)));
    out[i] = PackPixel(comp[0], comp[1], comp[2], format);
  }
}

}  // namespace zvplay
