#include "import/tds_import.h"

#include "import/messages.h"
#include "import/tds_animation.h"
#include "import/tds_reader.h"
#include "palette/palette.h"

namespace importer {

namespace {

ImportedMaterial ToImportedMaterial(const Material3DS& m) {
  ImportedMaterial r;
  r.kind = m.hasTexture ? ImportedMaterial::kTextured : ImportedMaterial::kFlat;
  r.name = m.name;
  r.ambient = m.ambient.linear;
  r.diffuse = m.diffuse.linear;
  r.specular = m.specular.linear;
  r.shininess = m.shininess / 100.0f;
  r.shininessStrength = m.shininessStrength / 100.0f;
  r.selfIllumination = m.selfIllumination ? 1.0f : 0.0f;
  r.shading = m.shading;
  r.textureFile = m.textureMap;
  return r;
}

std::array<float, 9> ToFloats(const Mat3& m) {
  std::array<float, 9> r;
  for (size_t i = 0; i < 9; ++i) r[i] = float(m[i]);
  return r;
}

ImportedMesh ToImportedMesh(const Scene3DS& scene, size_t index, const ImportCallbacks& callbacks) {
  const NamedObject3DS& object = scene.meshes[index];
  const TriMesh3DS& mesh = *object.mesh;
  ImportedMesh r;
  r.name = object.name;
  r.vertices = mesh.vertices;
  r.centre = mesh.centre;
  r.faces.resize(mesh.faceArray.faces.size());
  for (size_t f = 0; f < r.faces.size(); ++f) {
    const Face3DS& face = mesh.faceArray.faces[f];
    r.faces[f].v[0] = face.a;
    r.faces[f].v[1] = face.b;
    r.faces[f].v[2] = face.c;
  }
  for (const MaterialGroup3DS& group : mesh.faceArray.materialGroups) {
    const int material = scene.FindMaterial(group.materialName);
    if (material < 0) {
      callbacks.Warning(std::string(msg::MaterialNotFound) + " " + object.name);
      continue;
    }
    for (uint16_t f : group.faces) r.faces[f].material = material;
  }
  // Mapping coordinates are per vertex.
  if (!mesh.textureVertices.empty() && mesh.textureVertices.size() == mesh.vertices.size()) {
    r.textureVertices.reserve(mesh.textureVertices.size());
    for (const auto& t : mesh.textureVertices) r.textureVertices.push_back({t[0], t[1], 0.0f});
    r.textureFaces.reserve(r.faces.size());
    for (const ImportedFace& face : r.faces) r.textureFaces.push_back({face.v[0], face.v[1], face.v[2]});
  }
  const size_t n = size_t(scene.frameCount);
  if (const KeyframerNode3DS* node = scene.NodeOfMesh(index)) {
    r.pivot = node->pivot;
    if (const int parent = scene.ParentNode(size_t(scene.meshes[index].nodeIndex)); parent >= 0)
      r.parent = scene.FindMeshOfNode(parent);
    r.flags = node->frameFlags;
    r.locations.reserve(n);
    r.matrices.reserve(n);
    const Vec3 centre = {mesh.centre[0], mesh.centre[1], mesh.centre[2]};
    for (size_t f = 0; f < n; ++f) {
      // Where the frame puts the centre the geometry is voxelized around.
      const Vec3 c = Apply(node->matrices[f], centre);
      const auto& t = node->locations[f];
      r.locations.push_back({float(t[0] + c[0]), float(t[1] + c[1]), float(t[2] + c[2])});
      r.matrices.push_back(ToFloats(node->matrices[f]));
    }
  } else {
    r.flags.assign(n, kFrameShown);
    r.locations.assign(n, mesh.centre);
    r.matrices.assign(n, ToFloats(Identity3()));
  }
  return r;
}

}  // namespace

void ToImportedScene3DS(const Scene3DS& scene, const ImportCallbacks& callbacks, ImportedScene& result) {
  result.frameCount = scene.frameCount;
  result.materials.clear();
  for (const Material3DS& m : scene.materials) result.materials.push_back(ToImportedMaterial(m));
  result.meshes.clear();
  for (size_t i = 0; i < scene.meshes.size(); ++i) result.meshes.push_back(ToImportedMesh(scene, i, callbacks));
}

bool LoadTextures3DS(ImportedScene& scene, const std::string& prefix, const ImportCallbacks& callbacks) {
  callbacks.Begin(msg::LoadingMaterials, 100);
  bool ok = true;
  const size_t count = scene.materials.size();
  for (size_t i = 0; i < count; ++i) {
    ImportedMaterial& m = scene.materials[i];
    if (ok && m.kind == ImportedMaterial::kTextured) {
      std::string error;
      m.textureLoaded = LoadTextureImage(prefix + m.textureFile, m.texture, error, BmpPathStyle::Joined);
      if (!m.textureLoaded) {
        m.textureError = error;
        callbacks.Error(error);
        ok = false;
      }
    }
    if (!callbacks.Step(int((i + 1) * 100 / count))) return false;
  }
  return ok;
}

bool Import3DS(const std::string& path, const ImportOptions& options, const ImportCallbacks& callbacks,
               ImportedScene& result) {
  callbacks.Begin(msg::Loading3ds, 100);
  Scene3DS scene;
  if (!ReadScene3DS(path, scene, callbacks)) return false;
  const bool animated = options.vuePath.empty() ? CalculateAnimation3DS(scene, callbacks)
                                                : ReadVue(options.vuePath, scene, callbacks);
  if (!animated) return false;
  ToImportedScene3DS(scene, callbacks, result);
  if (options.loadTextures && !LoadTextures3DS(result, options.materialsPath, callbacks)) return false;
  return true;
}

}  // namespace importer
