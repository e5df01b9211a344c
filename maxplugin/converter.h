// The plug-in's converter: the conversion host that takes the host scene's
// nodes as mesh objects and its materials as palette materials, lets the
// engine voxelize them, and writes the ZVL 9.0 file.
//
// A conversion: set the options, CollectNodes, BuildMaterialTable, Run.
// Errors go to ReportError (the panel shows them in a box titled "ERROR")
// and every step returns 0 or -1.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "maxplugin/lod_parameters.h"
#include "maxplugin/sdk/sdk.h"
#include "palette/material.h"
#include "voxelize/conversion_host.h"

namespace zvlplay {

// The seven commands of the progress display.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void SetTotalRange(int total) = 0;
  virtual void SetTotalPosition(int position) = 0;
  virtual void ResetTotal() = 0;
  virtual void SetTaskText(const char* text) = 0;
  virtual void SetTaskRange(int total) = 0;
  virtual void SetTaskPosition(int position) = 0;
  virtual void ResetTask() = 0;
};

struct ConverterOptions {
  uint32_t contents = 0;          // the panel's contents flags (contents.h)
  std::vector<int> frames;        // frames to sample, increasing; one when animation is off
  bool localFromFrame = false;    // voxelize in the world pose of lcsFrame
  int lcsFrame = 0;
  std::string palettePath;        // ACT or ZVL file; empty for none
  int startColor = 10, endColor = 245;
  LodParameters lod;              // every object's levels unless lodForObject says otherwise
  // Levels of object i for batch jobs; 0 or -1 after a report.
  std::function<int(int object, LodParameters&)> lodForObject;
};

// A record of the material table: the palette's material plus the host
// material or wire colour it was made from.
class HostMaterialRecord : public Material {
 public:
  int position = 0;
  const Mtl* key = nullptr;      // the host material, or null for a wire colour
  WireColor wireKey = 0;         // the wire colour with the top byte 0xFF
  Texmap* map = nullptr;         // the diffuse map of a textured material
  TimeValue time = 0;

  int PrepareTexture() override;
  void ReleaseTexture() override {}
  void SampleColour(const float weights[3], const float uvw[3], uint8_t rgb[3]) const override;

 private:
  mutable ShadeContext context_;
};

class ZvlPlayConverter : public ConversionHost {
 public:
  explicit ZvlPlayConverter(Interface& ip);
  ~ZvlPlayConverter() override;

  ConverterOptions options;
  ProgressDisplay* progress = nullptr;
  // Where errors and notes go besides being kept below.
  std::function<void(const char*)> onError, onInfo;
  std::string lastError;
  std::vector<std::string> infos;

  // The time meshes, fix points and pivots are taken at.
  TimeValue EvaluationTime() const;

  // Walks the scene and keeps every convertible node the options allow.
  int CollectNodes();
  const std::vector<INode*>& Nodes() const { return nodes_; }
  // The first collected node with exactly this name, or -1.
  int FindNodeByName(const char* name) const;
  // Makes the conversion use these nodes (a batch job's objects).
  void UseNodes(std::vector<INode*> nodes) { nodes_ = std::move(nodes); }
  // The largest world extent over the collected nodes.
  int SceneSize(float& size);

  int BuildMaterialTable();
  // Builds the database and writes it to path.
  int Run(const std::string& outputPath);

  // ConversionHost.
  MeshObject* GetObject(int index) override;
  void ReleaseObject(MeshObject* object) override;
  Material* GetMaterial(int index) override;
  int ReleaseMaterial(Material* material) override;
  int BeginProgress(int total, const char* text) override;
  int StepProgress(int step) override;
  int EndProgress() override;
  void ReportError(const char* text) override;
  void ReportInfo(const char* text) override;

  // For tests: the material table and each node's renumbering table.
  const std::vector<std::unique_ptr<HostMaterialRecord>>& MaterialTable() const { return materials_; }

 private:
  int ObjectError(const char* message, const char* name);
  int AddStandardRecord(const Mtl& mtl, int& index);
  int AddWireRecord(WireColor wire, int& index);
  int FillFaces(int node, const Mesh& mesh, MeshObject& object);
  int FillFixPoints(INode& node, MeshObject& object);
  void FillMotion(int node, MeshObject& object);

  Interface& ip_;
  std::vector<INode*> nodes_;
  std::vector<std::unique_ptr<HostMaterialRecord>> materials_;
  // Per node: its one table index (standard material or wire colour), and
  // for a multi-material the table index of each sub-material number.
  std::vector<int> nodeMaterial_;
  std::vector<std::vector<int>> renumber_;
  std::vector<std::unique_ptr<MeshObject>> objectsOut_;
  int totalPosition_ = 0;
};

}  // namespace zvlplay
