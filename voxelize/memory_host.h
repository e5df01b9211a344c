// A conversion host that keeps the scene in memory: objects and materials
// owned here, standard-library memory and the file layer's streams for I/O,
// and every progress caption and message collected as text. The
// command-line tool and the tests use it.
#pragma once

#include "voxelize/conversion_host.h"

#include <memory>
#include <string>
#include <vector>

class MemoryConversionHost : public ConversionHost {
 public:
  MemoryConversionHost() = default;
  MemoryConversionHost(const MemoryConversionHost&) = delete;
  MemoryConversionHost& operator=(const MemoryConversionHost&) = delete;

  // Adds an object or a material; returns its index. AddMaterial keeps
  // materialCount up to date.
  int AddObject(MeshObject object);
  int AddMaterial(std::unique_ptr<Material> material);
  // Gives the host one flat material, drawn in palette column 0, with the
  // palette tables filled by hand instead of by a palette build: enough to
  // voxelize a lone mesh whose faces all use material 0.
  void UseOneFlatMaterial();

  MeshObject* GetObject(int index) override;
  void ReleaseObject(MeshObject* object) override;
  Material* GetMaterial(int index) override;
  int ReleaseMaterial(Material* material) override;

  int BeginProgress(int total, const char* text) override;
  int StepProgress(int step) override;
  int EndProgress() override;
  int BeginInnerProgress(int total, const char* text) override;
  int StepInnerProgress(int step) override;
  int EndInnerProgress() override;

  void ReportError(const char* text) override;
  void ReportInfo(const char* text) override;

  std::vector<std::unique_ptr<MeshObject>> objects;
  std::vector<std::unique_ptr<Material>> materials;

  // What the conversion showed.
  std::vector<std::string> progressCaptions;  // outer and inner, in order
  std::vector<std::string> errors;
  std::vector<std::string> infos;
  // Objects and materials handed out and not yet handed back.
  int objectsOut = 0;
  int materialsOut = 0;
  // When >= 0, StepProgress asks to stop once it reaches this step.
  int stopAtStep = -1;
};
