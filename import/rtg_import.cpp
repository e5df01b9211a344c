// Alias RTG scenes into imported scenes.
#include "import/rtg_import.h"

#include "import/rtg_messages.h"

#include <algorithm>
#include <cstdio>

namespace {

void Fail(const ImportCallbacks& callbacks, const char* message, const std::string& reason) {
  callbacks.Error(reason.empty() ? std::string(message) : std::string(message) + ": " + reason);
}

// The material list: textures first, then the distinct polygon colours.
// Returns each polygon's material, node by node.
std::vector<std::vector<int32_t>> BuildMaterials(const RtgScene& rtg, ImportedScene& scene) {
  for (size_t i = 0; i < rtg.textures.size(); ++i) {
    const RtgTexture& t = rtg.textures[i];
    ImportedMaterial m;
    m.kind = ImportedMaterial::kTextured;
    m.name = rtg.textureFile + "#" + std::to_string(i);
    m.textureFile = rtg.textureFile;
    m.textureLoaded = true;
    m.texture.width = uint16_t(t.width);
    m.texture.height = uint16_t(t.height);
    m.texture.pixels = t.pixels;
    scene.materials.push_back(std::move(m));
  }
  std::vector<std::array<uint8_t, 3>> colours;
  std::vector<std::vector<int32_t>> polygonMaterials(rtg.nodes.size());
  for (size_t n = 0; n < rtg.nodes.size(); ++n)
    for (const RtgPolygon& p : rtg.nodes[n].polygons) {
      if (p.texture >= 0) {
        polygonMaterials[n].push_back(p.texture);
        continue;
      }
      const auto found = std::find(colours.begin(), colours.end(), p.rgb);
      if (found != colours.end()) {
        polygonMaterials[n].push_back(int32_t(rtg.textures.size() + size_t(found - colours.begin())));
        continue;
      }
      polygonMaterials[n].push_back(int32_t(scene.materials.size()));
      colours.push_back(p.rgb);
      ImportedMaterial m;
      m.kind = ImportedMaterial::kFlat;
      char name[32];
      std::snprintf(name, sizeof name, "colour %u %u %u", p.rgb[0], p.rgb[1], p.rgb[2]);
      m.name = name;
      m.ambient = m.diffuse = p.rgb;
      scene.materials.push_back(std::move(m));
    }
  return polygonMaterials;
}

ImportedMesh MeshOf(const RtgNode& node, const std::vector<int32_t>& materials) {
  ImportedMesh mesh;
  mesh.name = node.name;
  mesh.vertices = node.vertices;
  mesh.pivot = node.pivot;
  for (size_t i = 0; i < node.polygons.size(); ++i) {
    ImportedFace face;
    std::copy(node.polygons[i].v, node.polygons[i].v + 3, face.v);
    face.material = materials[i];
    face.flags = 7;
    mesh.faces.push_back(face);
  }
  if (!node.texCoords.empty()) {
    // One texture vertex per vertex; a later polygon overwrites a vertex it
    // shares with an earlier one.
    mesh.textureVertices.assign(mesh.vertices.size(), {0, 0, 0});
    for (const RtgPolygon& p : node.polygons)
      for (int k = 0; k < 3; ++k) {
        const auto& uv = node.texCoords[size_t(p.tex[k])];
        mesh.textureVertices[size_t(p.v[k])] = {uv[0], uv[1], 0};
      }
    for (const ImportedFace& face : mesh.faces) mesh.textureFaces.push_back({face.v[0], face.v[1], face.v[2]});
  }
  mesh.flags.assign(node.locations.size(), kFrameShown);
  mesh.locations = node.locations;
  for (const auto& m : node.matrices) {
    std::array<float, 9> matrix;
    for (size_t k = 0; k < 9; ++k) matrix[k] = float(m[k]);
    mesh.matrices.push_back(matrix);
  }
  return mesh;
}

}  // namespace

std::string RtgMaterialsPath(const std::string& materialsFolder, const std::string& fileName,
                             const std::string& scenePath) {
  std::string folder = materialsFolder;
  if (folder.empty()) {
    const size_t cut = scenePath.find_last_of(ScenePathSeparators);
    if (cut == std::string::npos) return fileName;
    folder = scenePath.substr(0, cut + 1);
  }
  if (folder.find_last_of(ScenePathSeparators) != folder.size() - 1) folder += '/';
  return NativePath(folder + fileName);
}

bool ImportRtgScene(const std::string& path, const FileSource& files, const ImportOptions& options,
                    const ImportCallbacks& callbacks, ImportedScene& scene) {
  scene = ImportedScene{};
  callbacks.Begin(rtg::msg::LoadingRtg, 100);
  std::vector<uint8_t> bytes;
  if (!files.Read(path, bytes, kMaxSceneFileBytes)) {
    Fail(callbacks, rtg::msg::CantLoadScene, std::string(rtg::msg::CantOpen) + " " + path);
    return false;
  }
  RtgScene rtg;
  std::string reason;
  const RtgProgress progress = [&](int percent) { callbacks.Step(percent); };
  if (!ReadRtgText({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, rtg, reason, progress)) {
    Fail(callbacks, rtg::msg::CantLoadScene, reason);
    return false;
  }
  if (rtg.transformMode == 1) RtgTransformsFromWorld(rtg);
  if (!rtg.textures.empty()) {
    const std::string binPath = RtgMaterialsPath(options.materialsPath, rtg.textureFile, path);
    if (!files.Read(binPath, bytes, kMaxSceneFileBytes) || !ReadRtgMaterials(bytes, rtg)) {
      Fail(callbacks, rtg::msg::CantLoadTextures, binPath);
      return false;
    }
  }
  const std::vector<std::vector<int32_t>> materials = BuildMaterials(rtg, scene);
  if (!callbacks.Step(100)) return false;

  callbacks.Begin(rtg::msg::LoadingAnimation, 100);
  bool animated = false;
  if (!ReadRtgAnimation(NativePath(options.animationStem), files, rtg, animated, kMaxRtgPlacements, progress)) {
    Fail(callbacks, rtg::msg::CantLoadAnimation, rtg::msg::TooManyPlacements);
    return false;
  }
  if (!animated) callbacks.Warning(rtg::msg::NoAnimation);
  if (!callbacks.Step(100)) return false;

  callbacks.Begin(rtg::msg::CalculatingAnimation, 100);
  CalculateRtgAnimation(rtg, progress);
  scene.frameCount = rtg.frameCount;
  std::vector<int32_t> meshIndex(rtg.nodes.size(), -1);
  for (size_t n = 0; n < rtg.nodes.size(); ++n) {
    const RtgNode& node = rtg.nodes[n];
    if (!node.polygon || !node.hasObject) continue;
    meshIndex[n] = int32_t(scene.meshes.size());
    ImportedMesh mesh = MeshOf(node, materials[n]);
    mesh.parent = node.parent >= 0 ? meshIndex[size_t(node.parent)] : -1;
    scene.meshes.push_back(std::move(mesh));
  }
  return callbacks.Step(100);
}

bool ImportRtg(const std::string& path, const ImportOptions& options, const ImportCallbacks& callbacks,
               ImportedScene& scene) {
  return ImportRtgScene(path, DiskFileSource(), options, callbacks, scene);
}
