// The engine's only way to its caller: scene objects and materials, memory
// and files, preview, progress and messages, and the state a conversion
// reads (stop request, conversion flags, frames). The authoring program, the
// plug-in and the command-line tool each derive their own; MemoryConversionHost
// (memory_host.h) is the plain one.
//
// The operations are declared in the order of the host's slots. Convert,
// Stop and GetPaletteRgb belong to the engine; the others are the embedding
// program's, with defaults where one is sensible.
#pragma once

#include "palette/material_source.h"
#include "palette/palette_tables.h"
#include "voxelize/mesh_object.h"
#include "zvlfile/io.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

struct ZorvelDatabase;

// Conversion flags (ConversionHost::conversionFlags).
inline constexpr uint32_t kFlagPalette = 1u << 0;         // copy the palette into the database
inline constexpr uint32_t kFlagGeometry = 1u << 1;        // voxelize the objects
inline constexpr uint32_t kFlagAnimation = 1u << 2;       // per-frame placement wanted
inline constexpr uint32_t kFlagColorTable16 = 1u << 3;    // copy the 16-bit colour table
inline constexpr uint32_t kFlagHierarchy = 1u << 4;       // links wanted
inline constexpr uint32_t kFlagStreamable = 1u << 5;      // database written streamable
inline constexpr uint32_t kFlagPaletteFromZvl = 1u << 24; // palette file is a ZVL file
inline constexpr uint32_t kFlagCurrentFrame = 1u << 25;   // voxelize in the current frame's pose

class ConversionHost : public MaterialSource {
 public:
  ~ConversionHost() override;

  // 1. The engine's entry for a whole scene: builds the database from
  // GetObject(0 ..) under the conversion flags. 0 or -1.
  virtual int Convert(ZorvelDatabase& database);
  // 2. Asks a running conversion to stop (safe from another thread).
  virtual void Stop() { stopFlag.store(1); }
  // 3. Copies the 768 colour bytes of the palette.
  virtual void GetPaletteRgb(uint8_t destination[768]);

  // 4., 5. The scene's objects: null past the end; each is handed back.
  virtual MeshObject* GetObject(int index) = 0;
  virtual void ReleaseObject(MeshObject* object) = 0;
  // 6., 7. The scene's materials (MaterialSource).
  Material* GetMaterial(int index) override = 0;
  int ReleaseMaterial(Material* material) override = 0;

  // 8. to 13. Memory and files, the six functions of the file layer. By
  // default the standard heap and the file layer's default installation.
  virtual void* Allocate(size_t size);  // zeroed, or null
  virtual void Free(void** block);      // frees *block and sets it to null
  virtual long Read(ZvlHandle handle, void* buffer, long count);
  virtual long Write(ZvlHandle handle, const void* buffer, long count);
  virtual long Seek(ZvlHandle handle, long offset, int origin);
  virtual long Tell(ZvlHandle handle);

  // 14. to 16. The preview: its size, one point (x and z relative to the grid
  // centre, colour R, G, B; nonzero asks to stop), and clearing it (nonzero
  // is failure). By default there is no preview.
  virtual void GetPreviewSize(int& width, int& height) { width = 0; height = 0; }
  virtual int PlotPoint(int x, int z, const uint8_t rgb[3]);
  virtual int ClearPreview() { return 0; }

  // 17. to 19. The progress display: nonzero from Begin/End is failure,
  // from Step a request to stop.
  virtual int BeginProgress(int total, const char* text);
  virtual int StepProgress(int step);
  virtual int EndProgress() { return 0; }
  // 20. to 22. The inner progress level, used by the caller.
  virtual int BeginInnerProgress(int total, const char* text);
  virtual int StepInnerProgress(int step);
  virtual int EndInnerProgress() { return 0; }
  // 23. Unused slot.
  virtual void Reserved() {}

  // 24., 25. Messages (MaterialSource).
  void ReportError(const char* text) override = 0;
  void ReportInfo(const char* text) override = 0;

  // MaterialSource: the count is materialCount; usage walks GetObject.
  int MaterialCount() const override { return materialCount; }
  int MarkUsedMaterials(std::span<uint8_t> used) override;
  PaletteTables& Palette() override { return paletteTables; }

  // The state the engine reads. stopFlag is written by a window thread while
  // the conversion runs on another, hence atomic.
  std::atomic<int> stopFlag{0};
  uint32_t conversionFlags = 0;
  int currentFrame = 0;
  int frameCount = 1;
  int materialCount = 0;
  PaletteTables paletteTables;
};
