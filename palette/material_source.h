// What the palette builder needs from its caller: the scene's materials, the
// usage of materials by faces, message reports, the tables to fill, and the
// settings that choose the palette. The conversion host implements it.
#pragma once

#include "palette/palette_tables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

class Material;

class MaterialSource {
 public:
  virtual ~MaterialSource();

  // The material with this index of the scene's table, or null.
  virtual Material* GetMaterial(int index) = 0;
  // Hands a material back after use; nonzero means failure.
  virtual int ReleaseMaterial(Material* material) = 0;
  virtual int MaterialCount() const = 0;
  // Sets used[m] to 1 for the material m of every face of every object of the
  // scene (used holds MaterialCount() bytes, zeroed); 0 or -1 after a report.
  virtual int MarkUsedMaterials(std::span<uint8_t> used) = 0;
  virtual void ReportError(const char* text) = 0;
  virtual void ReportInfo(const char* text) = 0;
  // The tables the builder fills and the voxelizer reads.
  virtual PaletteTables& Palette() = 0;
};

// Where the palette comes from.
enum class PaletteSourceKind : uint8_t {
  None,     // no palette file: only flat columns, no palette chunk
  ZvlFile,  // the palette and 16-bit gradient table of an existing ZVL file
  ActFile,  // an ACT file of 256 RGB entries
};

// The lighting parameters of the palette columns when the scene has no
// textured material to take them from, and, in one variant of the authoring
// program, a fixed ambient colour for the flat columns.
struct PrototypeDefaults {
  uint8_t shadingType = 2;
  uint8_t specular[3] = {208, 208, 208};
  float shininess = 0.2f;          // in the material's units (see percentParameters)
  float shininessStrength = 0.1f;
  float selfIllumination = 0.0f;
  std::optional<std::array<uint8_t, 3>> flatAmbient;  // replaces every flat material's ambient
};

// How the palette builder reports the two situations that the authoring
// program words differently from the plug-in.
enum class PaletteMessages : uint8_t {
  Engine,     // "Too many flat materials. You should set palette length to %d"
  Authoring,  // "Too many flat colors, reduce by %d"
};

struct PaletteSettings {
  PaletteSourceKind source = PaletteSourceKind::None;
  std::string path;                  // the ACT or ZVL file
  uint8_t start = 1, end = 254;      // the palette range for an ACT file
  // Which blocks the conversion flags ask for. The builder makes both
  // either way; the caller copies only these (CopyPaletteBlock, CopyColorTable).
  bool wantPalette = true;
  bool wantColorTable = true;

  // The authoring program's variant of the builder.
  bool percentParameters = false;    // shininess, strength, self-illumination are 0..100
  PrototypeDefaults prototypeDefaults;
  PaletteMessages messages = PaletteMessages::Engine;
};
