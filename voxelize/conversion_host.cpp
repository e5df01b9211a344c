#include "voxelize/conversion_host.h"

#include "palette/palette.h"

#include <cstdlib>

ConversionHost::~ConversionHost() = default;

void ConversionHost::GetPaletteRgb(uint8_t destination[768]) { ::GetPaletteRgb(paletteTables, destination); }

void* ConversionHost::Allocate(size_t size) { return std::calloc(size ? size : 1, 1); }

void ConversionHost::Free(void** block) {
  if (!block) return;
  std::free(*block);
  *block = nullptr;
}

long ConversionHost::Read(ZvlHandle handle, void* buffer, long count) {
  return ZvlDefaultIoFunctions().read(handle, buffer, count);
}

long ConversionHost::Write(ZvlHandle handle, const void* buffer, long count) {
  return ZvlDefaultIoFunctions().write(handle, buffer, count);
}

long ConversionHost::Seek(ZvlHandle handle, long offset, int origin) {
  return ZvlDefaultIoFunctions().seek(handle, offset, origin);
}

long ConversionHost::Tell(ZvlHandle handle) { return ZvlDefaultIoFunctions().tell(handle); }

int ConversionHost::PlotPoint(int, int, const uint8_t*) { return 0; }

int ConversionHost::BeginProgress(int, const char*) { return 0; }

int ConversionHost::StepProgress(int) { return 0; }

int ConversionHost::BeginInnerProgress(int, const char*) { return 0; }

int ConversionHost::StepInnerProgress(int) { return 0; }

int ConversionHost::MarkUsedMaterials(std::span<uint8_t> used) {
  for (int index = 0;; ++index) {
    MeshObject* object = GetObject(index);
    if (!object) break;
    for (const MeshFace& face : object->faces) {
      if (face.material >= 0 && size_t(face.material) < used.size()) used[size_t(face.material)] = 1;
    }
    ReleaseObject(object);
  }
  return 0;
}
