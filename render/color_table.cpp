// The 16-bit colour table built from a palette, for files that carry none.
#include "render/render.h"

void ZvlBuildColorTable16(const ZorvelPalette& palette, float version, uint16_t table[ZvlColorIndexCount]) {
  const int row = version >= 7.1f ? 23 : 15;
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = palette.colors[palette.shades[row][i]];
    for (int j = 0; j < 24; ++j) {
      const float d = float(j) * 0.04347826f;  // j / 23
      int rgb[3];
      for (int k = 0; k < 3; ++k) rgb[k] = int(float(c[k]) * d + (1.0f - d) * (float(c[k]) * 0.1f));
      table[(j << 8) | i] = ZvlPackRgb555(unsigned(rgb[0]), unsigned(rgb[1]), unsigned(rgb[2]));
    }
  }
}
