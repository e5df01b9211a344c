// LightWave scenes into imported scenes.
#include "import/lws_import.h"

#include "import/lws_messages.h"
#include "palette/messages.h"
#include "palette/palette.h"
#include "zvlfile/io.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

uint8_t ColourByte(double level) {
  if (!(level > 0)) return 0;
  return level >= 255 ? 255 : uint8_t(std::lround(level));
}

float Unit(float value) { return value > 0 ? std::min(value, 1.0f) : 0.0f; }

// The slot whose image map makes the surface textured: the colour slot,
// else the diffuse slot, when it holds an image kind with a file name.
const LwobTexture* ImageSlot(const LwobSurface& surface) {
  for (int slot : {kLwobColourSlot, kLwobDiffuseSlot}) {
    const LwobTexture& t = surface.textures[size_t(slot)];
    if (t.present && IsImageMap(ImageMapKind(t.kind)) && !t.image.empty()) return &t;
  }
  return nullptr;
}

ImageMapTexture ProjectionOf(const LwobTexture& t) {
  ImageMapTexture map;
  map.kind = ImageMapKind(t.kind);
  map.axis = t.flags & 3;
  for (int k = 0; k < 3; ++k) {
    map.size[k] = t.size[size_t(k)];
    map.centre[k] = t.centre[size_t(k)];
  }
  map.widthWrap = t.widthWrap;
  map.heightWrap = t.heightWrap;
  map.imageFile = t.image;
  return map;
}

// A file source that finds every name ignoring the letter case of its file
// name part, so the object-path search can be run a second time for image
// maps named in another case than the file on disk.
class CaseBlindFiles final : public FileSource {
 public:
  explicit CaseBlindFiles(const FileSource& files) : files_(files) {}
  bool Exists(const std::string& path) const override { return !files_.FindIgnoringCase(path).empty(); }
  bool Read(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) const override {
    return files_.Read(files_.FindIgnoringCase(path), bytes, maxBytes);
  }
  std::string FindIgnoringCase(const std::string& path) const override { return files_.FindIgnoringCase(path); }

 private:
  const FileSource& files_;
};

// Where an image map is: found like an object file next to the scene, else
// by its file name in the current folder; when neither holds the exact
// name, the same places are searched again ignoring the file name's case.
std::string FindImage(const std::string& scenePath, const std::string& image, const FileSource& files) {
  const std::string name(PathFileName(image));
  std::string found = ResolveObjectPath(scenePath, image, files);
  if (found.empty() && files.Exists(name)) found = name;
  if (!found.empty()) return found;
  const CaseBlindFiles caseBlind(files);
  found = ResolveObjectPath(scenePath, image, caseBlind);
  if (found.empty() && caseBlind.Exists(name)) found = name;
  return found.empty() ? found : files.FindIgnoringCase(found);
}

// Loads the image of a texture slot (BMP, PNG or JPEG by its content).
bool LoadImage(const std::string& scenePath, const std::string& image, const FileSource& files,
               ImportedMaterial& material) {
  const std::string found = FindImage(scenePath, image, files);
  std::vector<uint8_t> bytes;
  if (found.empty() || !files.Read(found, bytes, kMaxSceneFileBytes)) {
    char text[600];
    std::snprintf(text, sizeof text, palette::msg::BmpOpenFailed, std::string(PathFileName(image)).c_str());
    material.textureError = text;
    return false;
  }
  TextureImage picture;
  if (!DecodeTextureImage(bytes.data(), bytes.size(), found, picture, material.textureError,
                          BmpPathStyle::FileNameOnly))
    return false;
  material.texture.width = picture.width;
  material.texture.height = picture.height;
  material.texture.pixels = std::move(picture.pixels);
  material.textureLoaded = true;
  return true;
}

ImportedMaterial SurfaceMaterial(const LwobSurface& surface) {
  ImportedMaterial m;
  m.kind = ImportedMaterial::kFlat;
  m.name = surface.name;
  m.flag = (surface.name == "ZVL" || surface.name == "zvl") ? 1 : 0;
  for (int k = 0; k < 3; ++k) {
    m.ambient[size_t(k)] = surface.colour[size_t(k)];
    m.diffuse[size_t(k)] = ColourByte(surface.colour[size_t(k)] * double(std::min(std::max(surface.diffuse, 0.0f), 1.0f)));
    m.specular[size_t(k)] = ColourByte(255.0 * double(Unit(surface.specular)));
  }
  m.shininess = 0.2f;
  m.shininessStrength = Unit(surface.specular);
  m.selfIllumination = Unit(surface.luminosity);
  m.shading = 2;
  return m;
}

// The orientation of the authoring program: XYZ mirrors z, XZY swaps y and z.
std::array<float, 3> Orient(int orientation, double x, double y, double z) {
  if (orientation == 1) return {float(x), float(z), float(y)};
  return {float(x), float(y), float(-z)};
}

ImportedMesh MeshOf(const LwsObject& object, const std::vector<LwsMatrix>& world, int orientation) {
  ImportedMesh mesh;
  mesh.name = object.name;
  mesh.vertices = object.mesh.points;
  mesh.faces.reserve(object.mesh.triangles.size());
  for (const LwobTriangle& t : object.mesh.triangles) {
    ImportedFace face;
    std::copy(t.v, t.v + 3, face.v);
    face.material = t.material;
    face.flags = t.flags;
    mesh.faces.push_back(face);
  }
  for (int k = 0; k < 3; ++k) mesh.pivot[size_t(k)] = float(object.pivot[size_t(k)]);
  // The reference point: the centre of the vertex bounding box.
  if (!mesh.vertices.empty()) {
    std::array<float, 3> low = mesh.vertices[0], high = mesh.vertices[0];
    for (const auto& v : mesh.vertices)
      for (int k = 0; k < 3; ++k) {
        low[size_t(k)] = std::min(low[size_t(k)], v[size_t(k)]);
        high[size_t(k)] = std::max(high[size_t(k)], v[size_t(k)]);
      }
    for (int k = 0; k < 3; ++k) mesh.centre[size_t(k)] = (low[size_t(k)] + high[size_t(k)]) * 0.5f;
  }
  const std::array<double, 3> centre{mesh.centre[0], mesh.centre[1], mesh.centre[2]};
  mesh.flags.assign(world.size(), kFrameShown);
  mesh.locations.reserve(world.size());
  mesh.matrices.reserve(world.size());
  for (const LwsMatrix& m : world) {
    const std::array<double, 3> at = LwsTransformPoint(m, centre);
    mesh.locations.push_back(Orient(orientation, at[0], at[1], at[2]));
    std::array<float, 9> matrix;
    for (int c = 0; c < 3; ++c) {
      const std::array<float, 3> column = Orient(orientation, m[size_t(c)], m[size_t(4 + c)], m[size_t(8 + c)]);
      for (int r = 0; r < 3; ++r) matrix[size_t(r * 3 + c)] = column[size_t(r)];
    }
    mesh.matrices.push_back(matrix);
  }
  return mesh;
}

int WriteText(const std::string& path, const std::string& text) {
  return ZvlWriteFileReplacing(path, [&](ZvlHandle handle) {
    return ZvlCheckedWrite(handle, text.data(), long(text.size())) == long(text.size()) ? 0 : ZvlFailure;
  });
}

}  // namespace

bool BuildLwsImportedScene(const LwsScene& lws, const std::vector<std::vector<LwsMatrix>>& world,
                           const std::string& scenePath, const FileSource& files, const ImportOptions& options,
                           const ImportCallbacks& callbacks, ImportedScene& scene) {
  scene = ImportedScene{};
  scene.frameCount = world.empty() ? int(LwsFrameCount(lws)) : int(world[0].size());
  // Mesh index of every scene object (-1 for null objects); a parent may
  // come after its child in the list.
  std::vector<int32_t> meshIndex(lws.objects.size(), -1);
  int32_t meshes = 0;
  for (size_t i = 0; i < lws.objects.size(); ++i)
    if (!lws.objects[i].isNull) meshIndex[i] = meshes++;
  callbacks.Begin(lws::msg::CalculatingAnimation, int(lws.objects.size()));
  for (size_t i = 0; i < lws.objects.size(); ++i) {
    if (!callbacks.Step(int(i))) return false;
    const LwsObject& object = lws.objects[i];
    if (object.isNull) continue;
    ImportedMesh mesh = MeshOf(object, world[i], options.orientation);
    mesh.parent = object.parent >= 0 ? meshIndex[size_t(object.parent)] : -1;
    // This object's surfaces follow the materials of the objects before it.
    const int32_t first = int32_t(scene.materials.size());
    for (ImportedFace& face : mesh.faces) face.material += first;
    bool textured = false;
    for (size_t s = 0; s < object.mesh.surfaces.size(); ++s) {
      const LwobSurface& surface = object.mesh.surfaces[s];
      ImportedMaterial material = SurfaceMaterial(surface);
      const LwobTexture* slot = ImageSlot(surface);
      if (slot) {
        material.textureFile = slot->image;
        if (LoadImage(scenePath, slot->image, files, material)) {
          material.kind = ImportedMaterial::kTextured;
          if (!textured) {
            mesh.textureVertices.assign(mesh.vertices.size(), {0.0f, 0.0f, 0.0f});
            mesh.textureFaces.reserve(mesh.faces.size());
            for (const ImportedFace& face : mesh.faces) mesh.textureFaces.push_back({face.v[0], face.v[1], face.v[2]});
            textured = true;
          }
          const ImageMapTexture projection = ProjectionOf(*slot);
          for (const ImportedFace& face : mesh.faces) {
            if (face.material != first + int32_t(s)) continue;
            for (int32_t v : face.v) {
              float u = 0, w = 0;
              ProjectImageMap(projection, mesh.vertices[size_t(v)].data(), u, w);
              mesh.textureVertices[size_t(v)] = {u, w, 0.0f};
            }
          }
        } else {
          callbacks.Warning(material.textureError);
        }
      }
      scene.materials.push_back(std::move(material));
    }
    scene.meshes.push_back(std::move(mesh));
  }
  return callbacks.Step(int(lws.objects.size()));
}

bool ImportLwsScene(const std::string& path, const FileSource& files, const ImportOptions& options,
                    const ImportCallbacks& callbacks, ImportedScene& scene, const std::string& dumpPath) {
  scene = ImportedScene{};
  callbacks.Begin(lws::msg::LoadingLws, 0);
  std::vector<uint8_t> bytes;
  if (!files.Read(path, bytes, kMaxSceneFileBytes)) {
    callbacks.Error(std::string(lws::msg::CantReadScene) + " " + path);
    return false;
  }
  LwsScene lws;
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!ParseLwsScene(text, path, files, lws, error, [&](const std::string& w) { callbacks.Warning(w); })) {
    callbacks.Error(error);
    return false;
  }
  const long long frames = LwsFrameCount(lws);
  if (double(frames) * double(std::max<size_t>(lws.objects.size(), 1)) > double(kMaxLwsPlacements)) {
    callbacks.Error(lws::msg::TooManyPlacements);
    return false;
  }
  const int frameCount = int(frames);
  const std::vector<std::vector<LwsMatrix>> world = LwsWorldMatrices(lws, frameCount);
  if (!dumpPath.empty() && WriteText(dumpPath, LwsDebugDump(lws, world, frameCount)) != 0)
    callbacks.Warning(std::string(lws::msg::CantWriteTlws) + " " + ZvlGetErrorText());
  return BuildLwsImportedScene(lws, world, path, files, options, callbacks, scene);
}

bool ImportLws(const std::string& path, const ImportOptions& options, const ImportCallbacks& callbacks,
               ImportedScene& scene) {
  return ImportLwsScene(path, DiskFileSource(), options, callbacks, scene, lws::msg::TlwsFileName);
}
