// Draws arbitrary voxel geometry with arbitrary placements. The input is a
// 16-byte placement (mode, flags, scale, position, two angles, depth scale)
// followed by a VoxObject block. Every part is drawn as an object and as a
// shadow into buffers of their exact size (so AddressSanitizer sees any
// write outside them); parts that pass ZvlCheckPart must leave the shared
// tile empty. The seeds are parts written by VoxBuildPart and VoxJoinParts
// behind a few placements.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "render/render_internal.h"
#include "zvlfile/le.h"

namespace {

constexpr size_t PlacementSize = 16;
constexpr int Width = 61, Height = 47;

template <class Pixel>
void DrawAll(const std::vector<VoxPartView>& parts, const uint8_t* p) {
  const bool inverted = p[1] & 1;
  std::vector<Pixel> color(size_t(Width) * Height, Pixel(3));
  std::vector<uint16_t> depth(size_t(Width) * Height, inverted ? 0 : 0xFFFF);
  std::vector<Pixel> table(ZvlColorIndexCount);
  for (int i = 0; i < ZvlColorIndexCount; ++i) table[i] = Pixel(i * 7);
  std::vector<Pixel> shadow(sizeof(Pixel) == 1 ? ZvlShadowTableSize8 : ZvlShadowTableSize16, Pixel(1));
  FrameBufferDesc desc{color.data(), depth.data(), Width, Height, uint8_t(sizeof(Pixel))};
  ScnHandler* h = ZvlCreateScnHandler(inverted ? ZvlInvertedDepth : 0, table.data(), shadow.data(), &desc);
  if (h == nullptr) std::abort();
  if (p[1] & 4) ZvlUseWriterSet(h, ZvlWriterSetKind::Packed);
  const DrawMode mode = DrawMode(p[0] % 3);
  const float scale = float(zvl::le::u16(p + 2)) / 4096.0f;
  const float position[3] = {float(zvl::le::i16(p + 4)) / 8.0f, float(zvl::le::i16(p + 6)) / 8.0f,
                             float(zvl::le::u16(p + 8))};
  const float a = float(zvl::le::u16(p + 10)) / 10000.0f, b = float(zvl::le::u16(p + 12)) / 10000.0f;
  const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
  const float matrix[9] = {ca, -sa, 0, sa * cb, ca * cb, -sb, sa * sb, ca * sb, cb};
  const float zscale = float(zvl::le::u16(p + 14)) / 256.0f;
  const float light[3] = {0.3f, -0.2f, 0.9f};
  const ZvlRect clip = ZvlMakeRect(-5, 3, Width + 9, Height - 2);
  // Once an unchecked part was drawn the tile may hold leftovers; until
  // then every draw must leave it empty.
  bool allChecked = true;
  for (const VoxPartView& part : parts) {
    allChecked = allChecked && ZvlCheckPart(part);
    ZvlDrawObject(h, part, position, matrix, clip, light, scale, zscale, mode);
    if (allChecked && !ZvlSplatTileIsEmpty()) std::abort();
    ZvlDrawShadow(h, part, position, matrix, clip, scale, zscale, mode);
    if (allChecked && !ZvlSplatTileIsEmpty()) std::abort();
    if (!h->drawn.empty() && (h->drawn.x0 < 0 || h->drawn.y0 < 0 || h->drawn.x1 >= Width || h->drawn.y1 >= Height))
      std::abort();
  }
  ZvlDestroyScnHandler(h);  // the last handler: the tile goes with it
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool setUp = ZvlSetup(&ZvlDefaultIoFunctions()) == 0;
  if (!setUp || size < PlacementSize) return 0;
  const size_t blockSize = size - PlacementSize;
  auto block = std::make_unique<uint8_t[]>(blockSize ? blockSize : 1);
  if (blockSize) std::memcpy(block.get(), data + PlacementSize, blockSize);
  std::vector<VoxPartView> parts;
  if (!VoxListParts(block.get(), blockSize, parts)) return 0;
  if (data[1] & 2)
    DrawAll<uint8_t>(parts, data);
  else
    DrawAll<uint16_t>(parts, data);
  return 0;
}
