// The scene handler, the shared SplatTile and the colour-model conversions.
// Their memory comes from the installed allocate function.
#include <algorithm>
#include <cstring>
#include <new>

#include "render/tile.h"
#include "render/render_internal.h"
#include "render/writers.h"

namespace zvl::render {
namespace {

SplatTile* g_tile = nullptr;
int g_liveHandlers = 0;

void* Allocate(size_t bytes) { return ZvlIo().allocate(bytes); }
void Release(void* block) {
  if (block) ZvlIo().free(block);
}

void FreeTile() {
  Release(g_tile);
  g_tile = nullptr;
}

size_t ColorTableBytes(int pixelSize) { return size_t(ZvlColorIndexCount) * size_t(pixelSize); }
size_t ShadowTableBytes(int pixelSize) {
  return pixelSize == 1 ? size_t(ZvlShadowTableSize8) : size_t(ZvlShadowTableSize16) * 2;
}

void FreeHandlerMemory(ScnHandler* handler) {
  Release(handler->colorTable);
  Release(handler->shadowTable);
  handler->~ScnHandler();
  Release(handler);
}

}  // namespace

SplatTile* CurrentTile() { return g_tile; }

}  // namespace zvl::render

using namespace zvl::render;

ScnHandler* ZvlCreateScnHandler(uint32_t flags, const void* colorTable, const void* shadowTable,
                                FrameBufferDesc* buffer) {
  if (colorTable == nullptr) {
    ZvlSetError(zvl::rmsg::NoColorTabParameter);
    return nullptr;
  }
  if (buffer == nullptr || (buffer->pixelSize != 1 && buffer->pixelSize != 2)) {
    ZvlSetError(zvl::rmsg::UnsupportedPixelSize);
    return nullptr;
  }
  if (ZvlGetCpuType() < ZvlCpu486 || ZvlGetCpuType() > ZvlCpuPentiumPro) {
    ZvlSetError(zvl::rmsg::CpuNotSupported);
    return nullptr;
  }
  if (g_tile == nullptr) {
    g_liveHandlers = 0;
    g_tile = static_cast<SplatTile*>(Allocate(sizeof(SplatTile)));
    if (g_tile == nullptr) {
      ZvlSetError(zvl::rmsg::NoRoomForInternalBuffer);
      return nullptr;
    }
    std::fill(std::begin(g_tile->words), std::end(g_tile->words), TileEmpty);
    g_tile->dirty = ZvlEmptyRect;
  }
  void* memory = Allocate(sizeof(ScnHandler));
  if (memory == nullptr) {
    ZvlSetError(zvl::rmsg::NoRoomForHandler);
    if (g_liveHandlers == 0) FreeTile();
    return nullptr;
  }
  ScnHandler* handler = new (memory) ScnHandler();
  handler->flags = flags;
  handler->buffer = buffer;
  const int pixelSize = buffer->pixelSize;
  handler->pixelSize = uint8_t(pixelSize);
  handler->colorTable = Allocate(ColorTableBytes(pixelSize));
  if (handler->colorTable == nullptr) {
    ZvlSetError(zvl::rmsg::NoRoomForColorTable);
    FreeHandlerMemory(handler);
    if (g_liveHandlers == 0) FreeTile();
    return nullptr;
  }
  std::memcpy(handler->colorTable, colorTable, ColorTableBytes(pixelSize));
  if (shadowTable != nullptr) {
    handler->shadowTable = Allocate(ShadowTableBytes(pixelSize));
    if (handler->shadowTable == nullptr) {
      ZvlSetError(zvl::rmsg::NoRoomForColorTable);
      FreeHandlerMemory(handler);
      if (g_liveHandlers == 0) FreeTile();
      return nullptr;
    }
    std::memcpy(handler->shadowTable, shadowTable, ShadowTableBytes(pixelSize));
  }
  handler->drawn = ZvlEmptyRect;
  handler->clip = ZvlMakeRect(0, 0, buffer->width - 1, buffer->height - 1);
  handler->colorPitch = buffer->width;
  handler->depthPitch = buffer->width;
  const ZvlWriterSetKind kind =
      ZvlGetCpuType() == ZvlCpuPentiumMmx ? ZvlWriterSetKind::Packed : ZvlWriterSetKind::Plain;
  handler->writers = FindWriterSet(kind, pixelSize, (flags & ZvlInvertedDepth) != 0);
  ++g_liveHandlers;
  return handler;
}

void ZvlDestroyScnHandler(ScnHandler* handler) {
  if (handler == nullptr) return;
  FreeHandlerMemory(handler);
  if (g_liveHandlers > 0) --g_liveHandlers;
  if (g_liveHandlers == 0) FreeTile();
}

int ZvlSetShadowTable(ScnHandler* handler, const void* table) {
  if (handler == nullptr || (handler->pixelSize != 1 && handler->pixelSize != 2)) {
    ZvlSetError(zvl::rmsg::UnsupportedPixelSize);
    return 1;
  }
  if (handler->shadowTable == nullptr || table == nullptr) {
    ZvlSetError(zvl::rmsg::NoShadowTable);
    return 1;
  }
  std::memcpy(handler->shadowTable, table, ShadowTableBytes(handler->pixelSize));
  return 0;
}

namespace {
template <class Convert>
int ConvertColorTable(ScnHandler* handler, Convert convert) {
  if (handler == nullptr || handler->pixelSize != 2) {
    ZvlSetError(zvl::rmsg::InvalidColorBufferDepth);
    return 1;
  }
  uint16_t* table = static_cast<uint16_t*>(handler->colorTable);
  for (int i = 0; i < ZvlColorIndexCount; ++i) table[i] = convert(table[i]);
  return 0;
}
}  // namespace

// 5-5-5 to 5-6-5: red and green move up one bit, the new low green bit is 0.
int ZvlColorTableTo565(ScnHandler* handler) {
  return ConvertColorTable(handler, [](uint16_t v) { return uint16_t(((v >> 5) << 6) | (v & 0x1F)); });
}

// 5-6-5 to 5-5-5: the low green bit is dropped.
int ZvlColorTableTo555(ScnHandler* handler) {
  return ConvertColorTable(handler, [](uint16_t v) { return uint16_t(((v & 0xFFC1) >> 1) | (v & 0x1F)); });
}

void ZvlUseWriterSet(ScnHandler* handler, ZvlWriterSetKind kind) {
  if (handler == nullptr) return;
  handler->writers = FindWriterSet(kind, handler->pixelSize, (handler->flags & ZvlInvertedDepth) != 0);
}

int ZvlLiveHandlerCount() { return g_liveHandlers; }
bool ZvlSplatTileExists() { return g_tile != nullptr; }
bool ZvlSplatTileIsEmpty() {
  if (g_tile == nullptr) return true;
  return std::all_of(std::begin(g_tile->words), std::end(g_tile->words), [](uint32_t w) { return w == TileEmpty; }) &&
         g_tile->dirty.empty();
}

ZvlRect ZvlUniteRect(const ZvlRect& a, const ZvlRect& b) {
  if (a.empty()) return b.empty() ? ZvlEmptyRect : b;
  if (b.empty()) return a;
  return ZvlMakeRect(std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1));
}
