// The authoring program's conversion host: hands the imported scene's meshes
// to the engine as MeshObjects, its converted material table as Materials,
// and routes progress, preview and messages to the job's callbacks and the
// reporter. Its stop flag is the conversion's abort flag.
#pragma once

#include "authoring/conversion_job.h"
#include "authoring/conversion_reporter.h"
#include "authoring/page_fields.h"
#include "import/imported_scene.h"
#include "palette/material.h"
#include "voxelize/conversion_host.h"

#include <memory>
#include <string>
#include <vector>

namespace authoring {

class AuthoringHost : public ConversionHost {
 public:
  AuthoringHost(const ImportedScene& scene, ConversionReporter& reporter);

  // The converted material table, made from the scene's materials: flat
  // materials with their colours, textured ones with their pictures; an
  // Alias RTG colour becomes a one-texel picture, so its 3D pixels take the
  // nearest palette entry. A default grey material is added when the scene
  // has none. False after reporting a texture that did not load.
  bool BuildMaterials(ImportKind kind);

  // The objects the job converts: the meshes that have faces, in scene order.
  int ObjectCount() const { return int(objectMeshes_.size()); }
  const ImportedMesh& ObjectMesh(int object) const { return scene_.meshes[size_t(objectMeshes_[size_t(object)])]; }

  // The engine's input for one object: all levels (units x 1.5 per level, no
  // smoothing), faces with their material indices ("Material not found" for
  // a face without one: it gets material 0), texture coordinates, and the
  // object's own space as frame 0's pose.
  // With `report`, a missing material is reported (once per object).
  std::unique_ptr<MeshObject> MakeMeshObject(int object, bool report) const;

  // The job whose callbacks receive progress and preview (set by the
  // conversion before the thread starts).
  void SetJob(ConversionJob* job) { job_ = job; }
  void SetLevels(float baseUnits, int levels) { baseUnits_ = baseUnits; levels_ = levels; }
  // Errors are not shown any more once the user asked to stop: the
  // conversion ends because of the request, not of a fault.
  bool Stopping() const { return stopFlag.load() != 0; }
  // The number of errors reported so far.
  int ErrorCount() const { return errorCount_; }

  MeshObject* GetObject(int index) override;
  void ReleaseObject(MeshObject* object) override;
  Material* GetMaterial(int index) override;
  int ReleaseMaterial(Material* material) override;
  int MarkUsedMaterials(std::span<uint8_t> used) override;

  void GetPreviewSize(int& width, int& height) override;
  int PlotPoint(int x, int z, const uint8_t rgb[3]) override;
  int ClearPreview() override;
  int BeginProgress(int total, const char* text) override;
  int StepProgress(int step) override;
  int BeginInnerProgress(int total, const char* text) override;
  int StepInnerProgress(int step) override;

  void ReportError(const char* text) override;
  void ReportInfo(const char* text) override;

 private:
  int FaceMaterial(int32_t material) const;

  const ImportedScene& scene_;
  ConversionReporter& reporter_;
  ConversionJob* job_ = nullptr;
  std::vector<int> objectMeshes_;
  std::vector<std::unique_ptr<Material>> materials_;
  std::vector<std::unique_ptr<MeshObject>> handedOut_;
  float baseUnits_ = 1.0f;
  int levels_ = 1;
  int errorCount_ = 0;
};

}  // namespace authoring
