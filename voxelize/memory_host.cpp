#include "voxelize/memory_host.h"

#include "palette/material.h"

#include <algorithm>

int MemoryConversionHost::AddObject(MeshObject object) {
  objects.push_back(std::make_unique<MeshObject>(std::move(object)));
  return int(objects.size()) - 1;
}

int MemoryConversionHost::AddMaterial(std::unique_ptr<Material> material) {
  materials.push_back(std::move(material));
  materialCount = int(materials.size());
  return materialCount - 1;
}

void MemoryConversionHost::UseOneFlatMaterial() {
  AddMaterial(std::make_unique<Material>());
  paletteTables.redirection = {0};
  paletteTables.flatColumn = {0};
  paletteTables.materials = {nullptr};
  paletteTables.flatCount = 1;
}

MeshObject* MemoryConversionHost::GetObject(int index) {
  if (index < 0 || size_t(index) >= objects.size()) return nullptr;
  ++objectsOut;
  return objects[size_t(index)].get();
}

void MemoryConversionHost::ReleaseObject(MeshObject* object) {
  if (object) --objectsOut;
}

Material* MemoryConversionHost::GetMaterial(int index) {
  if (index < 0 || size_t(index) >= materials.size() || !materials[size_t(index)]) return nullptr;
  ++materialsOut;
  return materials[size_t(index)].get();
}

int MemoryConversionHost::ReleaseMaterial(Material* material) {
  const bool ours = std::any_of(materials.begin(), materials.end(),
                                [material](const auto& m) { return m.get() == material; });
  if (!material || !ours) return -1;
  --materialsOut;
  return 0;
}

int MemoryConversionHost::BeginProgress(int, const char* text) {
  progressCaptions.emplace_back(text ? text : "");
  return 0;
}

int MemoryConversionHost::StepProgress(int step) { return stopAtStep >= 0 && step >= stopAtStep ? 1 : 0; }

int MemoryConversionHost::EndProgress() { return 0; }

int MemoryConversionHost::BeginInnerProgress(int, const char* text) {
  progressCaptions.emplace_back(text ? text : "");
  return 0;
}

int MemoryConversionHost::StepInnerProgress(int step) { return StepProgress(step); }

int MemoryConversionHost::EndInnerProgress() { return 0; }

void MemoryConversionHost::ReportError(const char* text) { errors.emplace_back(text ? text : ""); }

void MemoryConversionHost::ReportInfo(const char* text) { infos.emplace_back(text ? text : ""); }
