#include "authoring/authoring_host.h"

#include "authoring/messages.h"
#include "authoring/progress_monitor.h"
#include "palette/messages.h"

#include <algorithm>

namespace authoring {
namespace {

void CopyColour(const std::array<uint8_t, 3>& from, uint8_t to[3]) {
  std::copy(from.begin(), from.end(), to);
}

void CopyParameters(const ImportedMaterial& from, Material& to) {
  to.name = from.name;
  to.shadingType = uint8_t(std::min<uint16_t>(from.shading, 255));
  CopyColour(from.ambient, to.ambient);
  CopyColour(from.diffuse, to.diffuse);
  CopyColour(from.specular, to.specular);
  to.shininess = from.shininess;
  to.shininessStrength = from.shininessStrength;
  to.selfIllumination = from.selfIllumination;
}

}  // namespace

AuthoringHost::AuthoringHost(const ImportedScene& scene, ConversionReporter& reporter)
    : scene_(scene), reporter_(reporter) {
  for (size_t i = 0; i < scene.meshes.size(); ++i)
    if (!scene.meshes[i].faces.empty() && !scene.meshes[i].vertices.empty()) objectMeshes_.push_back(int(i));
}

bool AuthoringHost::BuildMaterials(ImportKind kind) {
  materials_.clear();
  int32_t identity = 0;
  for (const ImportedMaterial& imported : scene_.materials) {
    std::unique_ptr<Material> material;
    if (imported.kind == ImportedMaterial::kTextured) {
      if (!imported.textureLoaded || imported.texture.empty()) {
        ReportError(imported.textureError.empty() ? imported.textureFile.c_str() : imported.textureError.c_str());
        return false;
      }
      auto image = std::make_unique<ImageMaterial>();
      image->image = imported.texture;
      material = std::move(image);
    } else if (kind == ImportKind::AliasRtg) {
      // An RTG colour: its 3D pixels take the palette entry nearest to it.
      auto image = std::make_unique<ImageMaterial>();
      image->image.width = image->image.height = 1;
      image->image.pixels.assign(imported.diffuse.begin(), imported.diffuse.end());
      material = std::move(image);
    } else {
      material = std::make_unique<Material>();
      material->kind = uint8_t(MaterialKind::Flat);
    }
    CopyParameters(imported, *material);
    if (material->IsTextured()) material->textureIdentity = ++identity;
    materials_.push_back(std::move(material));
  }
  if (materials_.empty()) {
    auto grey = std::make_unique<Material>();
    grey->name = "default";
    grey->ambient[0] = grey->ambient[1] = grey->ambient[2] = 60;
    grey->diffuse[0] = grey->diffuse[1] = grey->diffuse[2] = 180;
    grey->specular[0] = grey->specular[1] = grey->specular[2] = 128;
    grey->shininess = 0.2f;
    grey->shininessStrength = 0.4f;
    grey->shadingType = 2;
    materials_.push_back(std::move(grey));
  }
  materialCount = int(materials_.size());
  return true;
}

int AuthoringHost::FaceMaterial(int32_t material) const {
  return material >= 0 && material < materialCount ? material : -1;
}

std::unique_ptr<MeshObject> AuthoringHost::MakeMeshObject(int object, bool report) const {
  const ImportedMesh& mesh = ObjectMesh(object);
  auto result = std::make_unique<MeshObject>();
  MeshObject& m = *result;
  float step = baseUnits_;
  for (int level = 0; level < ClampLevels(levels_); ++level) {
    m.gridSteps.push_back(step);
    m.smoothing.push_back(0);
    step *= kLevelFactor;
  }
  m.name = mesh.name;
  m.vertices = mesh.vertices;
  m.faces.resize(mesh.faces.size());
  bool missing = false;
  for (size_t i = 0; i < mesh.faces.size(); ++i) {
    const ImportedFace& from = mesh.faces[i];
    MeshFace& to = m.faces[i];
    std::copy(std::begin(from.v), std::end(from.v), to.v);
    to.flags = from.flags;
    const int material = FaceMaterial(from.material);
    missing |= material < 0;
    to.material = std::max(material, 0);
  }
  // A scene without materials gets the default one, silently: its reader
  // has said already that the faces' materials were not found.
  if (missing && report && !scene_.materials.empty())
    reporter_.Warning(std::string(msg::MaterialNotFound) + " " + mesh.name);
  if (!mesh.textureVertices.empty() && mesh.textureFaces.size() == mesh.faces.size()) {
    m.textureVertices = mesh.textureVertices;
    m.textureFaces = mesh.textureFaces;
  }
  // The geometry is made in the object's own space; the animation carries
  // the placement.
  m.matrices = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
  m.locations = {{0, 0, 0}};
  m.frameFlags = {0};
  return result;
}

MeshObject* AuthoringHost::GetObject(int index) {
  if (index < 0 || index >= ObjectCount()) return nullptr;
  handedOut_.push_back(MakeMeshObject(index, false));
  return handedOut_.back().get();
}

void AuthoringHost::ReleaseObject(MeshObject* object) {
  std::erase_if(handedOut_, [object](const auto& held) { return held.get() == object; });
}

Material* AuthoringHost::GetMaterial(int index) {
  return index >= 0 && index < materialCount ? materials_[size_t(index)].get() : nullptr;
}

int AuthoringHost::ReleaseMaterial(Material* material) { return material ? 0 : -1; }

int AuthoringHost::MarkUsedMaterials(std::span<uint8_t> used) {
  for (int object = 0; object < ObjectCount(); ++object)
    for (const ImportedFace& face : ObjectMesh(object).faces) {
      const size_t material = size_t(std::max(FaceMaterial(face.material), 0));
      if (material < used.size()) used[material] = 1;
    }
  return 0;
}

void AuthoringHost::GetPreviewSize(int& width, int& height) {
  width = ProgressMonitor::kPreviewWidth;
  height = ProgressMonitor::kPreviewHeight;
}

int AuthoringHost::PlotPoint(int x, int z, const uint8_t rgb[3]) {
  if (job_ && job_->plot) return job_->plot(x, z, rgb) ? 1 : 0;
  return stopFlag.load() ? 1 : 0;
}

int AuthoringHost::ClearPreview() {
  if (job_ && job_->clearPreview) return job_->clearPreview() ? 1 : 0;
  return stopFlag.load() ? 1 : 0;
}

int AuthoringHost::BeginProgress(int total, const char* text) {
  if (job_ && job_->stage) return job_->stage(total, text ? text : "") ? 1 : 0;
  return stopFlag.load() ? 1 : 0;
}

int AuthoringHost::StepProgress(int step) {
  if (job_ && job_->progress) return job_->progress(step) ? 1 : 0;
  return stopFlag.load() ? 1 : 0;
}

int AuthoringHost::BeginInnerProgress(int total, const char* text) { return BeginProgress(total, text); }

int AuthoringHost::StepInnerProgress(int step) { return StepProgress(step); }

void AuthoringHost::ReportError(const char* text) {
  ++errorCount_;
  if (job_) job_->errorText = text ? text : "";
  if (!Stopping()) reporter_.Error(text ? text : "");
}

void AuthoringHost::ReportInfo(const char* text) {
  const std::string note = text ? text : "";
  if (note == palette::msg::NoTexturedMaterial)
    reporter_.Warning(note);
  else
    reporter_.Info(note);
}

}  // namespace authoring
