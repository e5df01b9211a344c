// A small scene of materials for the palette builder: materials owned here,
// the faces' material indices, and what the builder reported.
#pragma once

#include "palette/palette.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

class TestScene : public MaterialSource {
 public:
  Material& AddFlat(uint8_t r, uint8_t g, uint8_t b, bool used = true) {
    auto m = std::make_unique<Material>();
    m->kind = uint8_t(MaterialKind::Flat);
    m->shadingType = 2;
    for (int ch = 0; ch < 3; ++ch) {
      const uint8_t v = ch == 0 ? r : ch == 1 ? g : b;
      m->ambient[ch] = m->diffuse[ch] = v;
      m->specular[ch] = 200;
    }
    m->shininess = 0.3f;
    m->shininessStrength = 0.2f;
    return Add(std::move(m), used);
  }
  Material& AddTextured(int32_t identity, const std::string& name, bool used = true) {
    auto m = std::make_unique<ImageMaterial>();
    m->textureIdentity = identity;
    m->name = name;
    m->shadingType = 1;
    m->specular[0] = m->specular[1] = m->specular[2] = 100;
    m->shininess = 0.5f;
    m->shininessStrength = 0.5f;
    return Add(std::move(m), used);
  }
  Material& Add(std::unique_ptr<Material> m, bool used) {
    if (used) usedIndices.push_back(int(materials.size()));
    materials.push_back(std::move(m));
    return *materials.back();
  }

  Material* GetMaterial(int index) override {
    if (index < 0 || size_t(index) >= materials.size()) return nullptr;
    ++out;
    return materials[size_t(index)].get();
  }
  int ReleaseMaterial(Material*) override {
    --out;
    return 0;
  }
  int MaterialCount() const override { return int(materials.size()); }
  int MarkUsedMaterials(std::span<uint8_t> used) override {
    for (int i : usedIndices) used[size_t(i)] = 1;
    return 0;
  }
  void ReportError(const char* text) override { errors.emplace_back(text); }
  void ReportInfo(const char* text) override { infos.emplace_back(text); }
  PaletteTables& Palette() override { return tables; }

  std::vector<std::unique_ptr<Material>> materials;
  std::vector<int> usedIndices;
  std::vector<std::string> errors, infos;
  PaletteTables tables;
  int out = 0;  // materials handed out and not back
};

// A folder of its own under the system's temporary folder, removed at the end.
struct TempFolder {
  TempFolder() : path(std::filesystem::temp_directory_path() / ("palette_test_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
  std::filesystem::path path;
};
