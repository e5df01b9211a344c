// The LightWave importer over arbitrary bytes: a scene text, and after a
// separator the bytes every object file and image map of the scene resolves
// to. It must never crash, hang or read out of bounds, and a scene it
// accepts must hold only faces and frames that are consistent.
#include "import/lws_import.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kSeparator("\0--\0", 4);

class FuzzFiles final : public FileSource {
 public:
  std::string_view scene, object;
  bool Exists(const std::string&) const override { return true; }
  bool Read(const std::string& path, std::vector<uint8_t>& bytes, size_t) const override {
    const std::string_view part = path == "/f/scene.lws" ? scene : object;
    bytes.assign(part.begin(), part.end());
    return true;
  }
};

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "inconsistent import: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  FuzzFiles files;
  const size_t cut = input.find(kSeparator);
  files.scene = input.substr(0, cut);
  if (cut != std::string_view::npos) files.object = input.substr(cut + kSeparator.size());
  ImportedScene scene;
  ImportOptions options;
  options.orientation = size & 1;
  if (!ImportLwsScene("/f/scene.lws", files, options, ImportCallbacks(), scene, "")) return 0;
  for (const ImportedMesh& mesh : scene.meshes) {
    for (const ImportedFace& face : mesh.faces) {
      for (int32_t v : face.v) Check(v >= 0 && size_t(v) < mesh.vertices.size(), "face vertex");
      Check(face.material >= 0 && size_t(face.material) < scene.materials.size(), "face material");
    }
    Check(mesh.textureVertices.empty() || mesh.textureFaces.size() == mesh.faces.size(), "texture faces");
    Check(mesh.flags.size() == size_t(scene.frameCount) && mesh.locations.size() == size_t(scene.frameCount) &&
              mesh.matrices.size() == size_t(scene.frameCount),
          "frames");
    Check(mesh.parent >= -1 && mesh.parent < int32_t(scene.meshes.size()), "parent");
  }
  return 0;
}
