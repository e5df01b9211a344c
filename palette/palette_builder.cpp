// The palette builder: material tables, usage, merging, palette sources,
// columns and the 8-bit shade table.
#include "palette/messages.h"
#include "palette/palette.h"

#include "zvlfile/database.h"
#include "zvlfile/io.h"
#include "zvlfile/rgb555.h"
#include "zvlfile/zvlformat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

std::string Format(const char* format, int value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Format(const char* format, const std::string& value) {
  std::string text(std::strlen(format) + value.size() + 1, '\0');
  const int n = std::snprintf(text.data(), text.size(), format, value.c_str());
  text.resize(size_t(std::max(n, 0)));
  return text;
}

// Hands back every material still in the table.
void HandBackMaterials(MaterialSource& source, PaletteTables& tables) {
  for (Material*& material : tables.materials) {
    if (material) source.ReleaseMaterial(material);
    material = nullptr;
  }
}

int Fail(MaterialSource& source, PaletteTables& tables, const std::string& text) {
  if (!text.empty()) source.ReportError(text.c_str());
  HandBackMaterials(source, tables);
  return -1;
}

bool SameMaterial(const Material& a, const Material& b) {
  if (a.kind != b.kind) return false;
  if (a.IsTextured()) return a.textureIdentity == b.textureIdentity;
  return a.shadingType == b.shadingType && std::equal(a.ambient, a.ambient + 3, b.ambient) &&
         std::equal(a.diffuse, a.diffuse + 3, b.diffuse) && std::equal(a.specular, a.specular + 3, b.specular) &&
         a.shininess == b.shininess && a.shininessStrength == b.shininessStrength &&
         a.selfIllumination == b.selfIllumination;
}

// Step 1: the three tables and every material.
int FetchMaterials(MaterialSource& source, PaletteTables& tables) {
  const int count = std::max(0, source.MaterialCount());
  const char* stage = palette::msg::NoRoomMaterialTable;
  try {
    tables.materials.assign(size_t(count), nullptr);
    stage = palette::msg::NoRoomMaterialIndexTable;
    tables.redirection.resize(size_t(count));
    stage = palette::msg::NoRoomFlatMaterialIndexTable;
    tables.flatColumn.assign(size_t(count), -1);
  } catch (const std::bad_alloc&) {
    return Fail(source, tables, stage);
  }
  for (int i = 0; i < count; ++i) {
    tables.redirection[size_t(i)] = i;
    tables.materials[size_t(i)] = source.GetMaterial(i);
    if (!tables.materials[size_t(i)]) return Fail(source, tables, Format(palette::msg::MissingMaterial, i));
  }
  return 0;
}

// Step 2: drop the materials no face uses.
int DropUnusedMaterials(MaterialSource& source, PaletteTables& tables) {
  std::vector<uint8_t> used;
  try {
    used.assign(tables.materials.size(), 0);
  } catch (const std::bad_alloc&) {
    return Fail(source, tables, palette::msg::NoRoomTempMaterialIndexArray);
  }
  if (source.MarkUsedMaterials(used) != 0) return Fail(source, tables, "");
  for (size_t i = 0; i < used.size(); ++i) {
    if (used[i]) continue;
    tables.redirection[i] = -1;
    source.ReleaseMaterial(tables.materials[i]);
    tables.materials[i] = nullptr;
  }
  return 0;
}

// Step 3: each present material that equals another present one is replaced
// by the first such, so a group of equal materials leads to its highest index.
void MergeEqualMaterials(MaterialSource& source, PaletteTables& tables) {
  const size_t count = tables.materials.size();
  for (size_t i = 0; i < count; ++i) {
    Material* material = tables.materials[i];
    if (!material) continue;
    for (size_t j = 0; j < count; ++j) {
      if (j == i || !tables.materials[j] || !SameMaterial(*material, *tables.materials[j])) continue;
      tables.redirection[i] = int32_t(j);
      source.ReleaseMaterial(material);
      tables.materials[i] = nullptr;
      break;
    }
  }
}

int PresentFlatCount(const PaletteTables& tables) {
  return int(std::count_if(tables.materials.begin(), tables.materials.end(),
                           [](const Material* m) { return m && m->IsFlat(); }));
}

// Every merged or present index of a flat material gets its survivor's column.
void SpreadFlatColumns(PaletteTables& tables) {
  for (size_t i = 0; i < tables.flatColumn.size(); ++i) {
    const int survivor = ResolveMaterial(tables, int(i));
    if (survivor >= 0) tables.flatColumn[i] = tables.flatColumn[size_t(survivor)];
  }
}

int TooManyFlat(MaterialSource& source, PaletteTables& tables, const PaletteSettings& settings, int length,
                int flats) {
  if (settings.messages == PaletteMessages::Authoring) {
    return Fail(source, tables, Format(palette::msg::TooManyFlatColors, length + flats - 256));
  }
  return Fail(source, tables, Format(palette::msg::TooManyFlatMaterials, 256 - flats));
}

// The columns from the palette colours of start .. end and the materials.
int BuildColumns(MaterialSource& source, PaletteTables& tables, const PaletteSettings& settings) {
  const int length = tables.paletteLength;
  const int flats = PresentFlatCount(tables);
  if (length + flats > 256) return TooManyFlat(source, tables, settings, length, flats);
  tables.flatCount = flats;
  tables.colorTable = ColorTable16{};
  tables.colorTable.gradientColors = int16_t(length);
  tables.colorTable.flatMaterials = int16_t(flats);

  const auto& defaults = settings.prototypeDefaults;
  const uint8_t* flatAmbient = defaults.flatAmbient ? defaults.flatAmbient->data() : nullptr;
  GradientColours colours;
  int column = length;
  for (size_t i = 0; i < tables.materials.size(); ++i) {
    const Material* material = tables.materials[i];
    if (!material || !material->IsFlat()) continue;
    ComputeGradient(MaterialGradientParameters(*material, settings.percentParameters, flatAmbient), colours);
    StoreGradientColumn(colours, tables.colorTable, column);
    tables.flatColumn[i] = column++;
  }
  SpreadFlatColumns(tables);

  const Material* prototype = nullptr;
  for (const Material* material : tables.materials) {
    if (material && material->IsTextured()) {
      prototype = material;
      break;
    }
  }
  Material lighting;
  if (prototype) {
    source.ReportInfo(Format(palette::msg::UsingPrototype, prototype->name).c_str());
    lighting = *prototype;
  } else {
    source.ReportInfo(palette::msg::NoTexturedMaterial);
    lighting.shadingType = defaults.shadingType;
    std::copy(defaults.specular, defaults.specular + 3, lighting.specular);
    lighting.shininess = defaults.shininess;
    lighting.shininessStrength = defaults.shininessStrength;
    lighting.selfIllumination = defaults.selfIllumination;
  }
  for (int j = 0; j < length; ++j) {
    const uint8_t* entry = tables.palette.colors[tables.start + j];
    std::copy(entry, entry + 3, lighting.ambient);
    std::copy(entry, entry + 3, lighting.diffuse);
    ComputeGradient(MaterialGradientParameters(lighting, settings.percentParameters), colours);
    StoreGradientColumn(colours, tables.colorTable, j);
  }

  for (int c = 0; c < length + flats; ++c) {
    for (int r = 0; r < ZvlShadeRows; ++r) {
      const ZvlRgb8 rgb = ZvlUnpackRgb555(tables.colorTable.colors[r * 256 + c]);
      tables.palette.shades[r][c] = uint8_t(NearestPaletteEntry(tables, rgb.r, rgb.g, rgb.b));
    }
  }
  return 0;
}

// The palette and colour table of an existing ZVL file; each flat material
// takes the existing column nearest to its own gradient.
int UseZvlPalette(MaterialSource& source, PaletteTables& tables, const PaletteSettings& settings) {
  const ZvlDatabasePtr db(ZvlReadDatabaseFile(settings.path.c_str()));
  if (!db) return Fail(source, tables, ZvlGetErrorText());
  if (!db->palette) return Fail(source, tables, palette::msg::NoPaletteChunk);
  if (!db->colorTable) return Fail(source, tables, palette::msg::NoColorTableChunk);
  tables.palette = *db->palette;
  tables.colorTable = *db->colorTable;
  tables.start = tables.palette.startColor;
  tables.end = tables.palette.endColor;
  tables.hasPalette = true;
  // The header is the file's: keep the column count inside the table.
  const int length = std::clamp<int>(tables.colorTable.gradientColors, 0, 256);
  const int flats = std::clamp<int>(tables.colorTable.flatMaterials, 0, 256 - length);
  tables.paletteLength = length;
  tables.flatCount = flats;

  const auto& defaults = settings.prototypeDefaults;
  const uint8_t* flatAmbient = defaults.flatAmbient ? defaults.flatAmbient->data() : nullptr;
  GradientColours colours;
  for (size_t i = 0; i < tables.materials.size(); ++i) {
    const Material* material = tables.materials[i];
    if (!material || !material->IsFlat()) continue;
    ComputeGradient(MaterialGradientParameters(*material, settings.percentParameters, flatAmbient), colours);
    long best = -1;
    int bestColumn = 0;
    for (int c = 0; c < length + flats; ++c) {
      long sum = 0;
      for (int r = 0; r < ZvlShadeRows; ++r) {
        const ZvlRgb8 rgb = ZvlUnpackRgb555(tables.colorTable.colors[r * 256 + c]);
        const uint8_t widened[3] = {rgb.r, rgb.g, rgb.b};
        for (int ch = 0; ch < 3; ++ch) {
          const long d = long(ClampGradientChannel(colours[size_t(r)][size_t(ch)])) - widened[ch];
          sum += d * d;
        }
      }
      if (best < 0 || sum < best) {
        best = sum;
        bestColumn = c;
      }
    }
    tables.flatColumn[i] = bestColumn;
  }
  SpreadFlatColumns(tables);
  return 0;
}

}  // namespace

GradientParameters MaterialGradientParameters(const Material& material, bool percentParameters,
                                              const uint8_t* ambientOverride) {
  GradientParameters p;
  p.shadingType = material.shadingType;
  const uint8_t* ambient = ambientOverride ? ambientOverride : material.ambient;
  for (int ch = 0; ch < 3; ++ch) {
    p.ambient[ch] = ambient[ch];
    p.diffuse[ch] = material.diffuse[ch];
    p.specular[ch] = material.specular[ch];
  }
  const float scale = percentParameters ? 0.01f : 1.0f;
  p.shininess = material.shininess * scale;
  p.shininessStrength = material.shininessStrength * scale;
  p.selfIllumination = material.selfIllumination * scale;
  return p;
}

PaletteSettings AuthoringPaletteSettings(AuthoringDefaults defaults) {
  PaletteSettings settings;
  settings.percentParameters = true;
  settings.messages = PaletteMessages::Authoring;
  PrototypeDefaults& prototype = settings.prototypeDefaults;
  prototype.shadingType = 2;
  prototype.selfIllumination = 0;
  prototype.shininess = 20;
  if (defaults == AuthoringDefaults::Specular128) {
    std::fill(prototype.specular, prototype.specular + 3, uint8_t(128));
    prototype.shininessStrength = 40;
  } else {
    std::fill(prototype.specular, prototype.specular + 3, uint8_t(208));
    prototype.shininessStrength = 10;
    prototype.flatAmbient = std::array<uint8_t, 3>{13, 13, 13};
  }
  return settings;
}

int PreparePalette(MaterialSource& source, const PaletteSettings& settings) {
  PaletteTables& tables = source.Palette();
  HandBackMaterials(source, tables);
  tables = PaletteTables{};
  if (FetchMaterials(source, tables) != 0 || DropUnusedMaterials(source, tables) != 0) return -1;
  MergeEqualMaterials(source, tables);

  switch (settings.source) {
    case PaletteSourceKind::None:
      tables.start = 1;
      tables.end = 0;
      tables.paletteLength = 0;
      tables.hasPalette = false;
      tables.palette.startColor = 1;
      tables.palette.endColor = 0;
      return BuildColumns(source, tables, settings);
    case PaletteSourceKind::ZvlFile:
      return UseZvlPalette(source, tables, settings);
    case PaletteSourceKind::ActFile: {
      uint8_t colours[kActPaletteSize];
      std::string error;
      if (LoadActPalette(settings.path, colours, error) != 0) return Fail(source, tables, error);
      tables.start = settings.start;
      tables.end = settings.end;
      tables.paletteLength = std::max(0, int(settings.end) - int(settings.start) + 1);
      tables.hasPalette = true;
      tables.palette.startColor = settings.start;
      tables.palette.endColor = settings.end;
      for (int e = 0; e < 256; ++e) {
        const bool kept = e >= settings.start && e <= settings.end;
        for (int ch = 0; ch < 3; ++ch) tables.palette.colors[e][ch] = kept ? colours[e * 3 + ch] : 0;
      }
      return BuildColumns(source, tables, settings);
    }
  }
  return Fail(source, tables, "");
}

int CopyPaletteBlock(MaterialSource& source, ZorvelDatabase& database) {
  const PaletteTables& tables = source.Palette();
  if (!tables.hasPalette) return 0;
  if (ZvlSetPalette(database, tables.palette) != 0) {
    source.ReportError(palette::msg::NoRoomPalette);
    return -1;
  }
  return 0;
}

int CopyColorTable(MaterialSource& source, ZorvelDatabase& database) {
  if (ZvlSetColorTable(database, source.Palette().colorTable) != 0) {
    source.ReportError(palette::msg::NoRoomColorTable);
    return -1;
  }
  return 0;
}

void ReleaseMaterials(MaterialSource& source) {
  PaletteTables& tables = source.Palette();
  HandBackMaterials(source, tables);
  tables.materials.clear();
  tables.redirection.clear();
  tables.flatColumn.clear();
}

void GetPaletteRgb(const PaletteTables& tables, uint8_t destination[768]) {
  std::memcpy(destination, tables.palette.colors, 768);
}
