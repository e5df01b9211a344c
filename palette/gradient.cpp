// The lighting model of a gradient column: 25 colours from a grazing light
// to a head-on light with its highlight, plain or metal.
#include "palette/palette.h"

#include "zvlfile/rgb555.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.141593f;

// The highlight of the plain model at u in 0 .. 0.5.
float PlainHighlight(float u, float shininess, float strength) {
  const float d = (u - 0.5f) * (9.0f * shininess * shininess + 1.0f) * 3.14159f;
  if (std::fabs(d) >= 1.570795f) return 0.0f;
  const float e = std::atan(100.0f * u) * 0.6366199f;
  const float c = std::cos(d);
  return c * ((1.0f - e) + e * c) * strength;
}

// The highlight of the metal model at u in 0 .. 0.5, limited to 0 .. 1.
float MetalHighlight(float u, float shininess, float strength) {
  const float h = shininess;
  const float q = h * h;
  const float a = (50.0f * q * q * q + 5.0f) * (u - 0.5f);
  const float b = (7.0f - 0.5f * q) * (u - 0.5f);
  const float g1 = std::exp(-(a * a));
  const float g2 = std::exp(-(b * b));
  float w = 1.0f - h;
  if (h > 0.5f) w = std::exp(-10.0f * (h - 0.5f)) * (1.0f - h);
  const float m = ((20.0f * q * q * q * q * q + 1.0f) * g1 * 0.8f - w * g2 * 0.7f) * strength;
  return std::clamp(m, 0.0f, 1.0f);
}

}  // namespace

void ComputeGradient(const GradientParameters& p, GradientColours& colours) {
  const bool metal = p.shadingType == kShadingMetal;
  float base[3];
  for (int ch = 0; ch < 3; ++ch) {
    const float v = p.ambient[ch] / 4.0f;
    const float f = v * 0.003921569f;
    base[ch] = v * (1.0f + 0.05f * (1.0f - f * f) / (f + 0.02f));
  }
  const float x = metal ? 1.5f * p.selfIllumination : p.selfIllumination;
  for (int ch = 0; ch < 3; ++ch) colours[24][size_t(ch)] = base[ch] + x * p.diffuse[ch];

  for (int i = 0; i < 24; ++i) {
    const float f = std::max(0.0f, std::cos((float(23 - i) / 46.0f) * kPi));
    const float k = f * (1.0f - x);
    const float t = float(i) / 23.0f;
    auto& colour = colours[size_t(i)];
    if (metal) {
      const float highlight = 1.5f * MetalHighlight(t * 0.5f * f, p.shininess, p.shininessStrength);
      for (int ch = 0; ch < 3; ++ch) {
        colour[size_t(ch)] = base[ch] + 0.95f * (1.0f - p.shininessStrength) * k * p.diffuse[ch] +
                             x * p.diffuse[ch] + highlight * p.diffuse[ch];
      }
    } else {
      const float highlight = PlainHighlight(t * t * 0.5f * f, p.shininess, p.shininessStrength);
      for (int ch = 0; ch < 3; ++ch) {
        colour[size_t(ch)] = base[ch] + 0.95f * k * p.diffuse[ch] + x * p.diffuse[ch] + highlight * p.specular[ch];
      }
    }
  }
}

uint8_t ClampGradientChannel(float v) {
  if (v > 255.0f) return 255;
  if (!(v > 0.0f)) return 0;  // negative or NaN
  return uint8_t(v);
}

void StoreGradientColumn(const GradientColours& colours, ColorTable16& table, int column) {
  if (column < 0 || column > 255) return;
  for (int row = 0; row < ZvlShadeRows; ++row) {
    const auto& c = colours[size_t(row)];
    table.colors[row * 256 + column] =
        ZvlPackRgb555(ClampGradientChannel(c[0]), ClampGradientChannel(c[1]), ClampGradientChannel(c[2]));
  }
}
