// The Alias RTG importer over arbitrary bytes: an RTG scene text, then after
// separators the materials .bin file and the text of every animation file.
// It must never crash, hang or read out of bounds, and a scene it accepts
// must hold only faces and frames that are consistent.
#include "import/rtg_import.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kSeparator("\0--\0", 4);

class FuzzFiles final : public FileSource {
 public:
  std::string_view scene, materials, animation;
  bool Exists(const std::string&) const override { return true; }
  bool Read(const std::string& path, std::vector<uint8_t>& bytes, size_t) const override {
    const std::string_view part = path == "/f/scene.rtg" ? scene : path.rfind("/m/", 0) == 0 ? materials : animation;
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
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view parts[3];
  for (std::string_view& part : parts) {
    const size_t cut = input.find(kSeparator);
    part = input.substr(0, cut);
    input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + kSeparator.size());
  }
  FuzzFiles files;
  files.scene = parts[0];
  files.materials = parts[1];
  files.animation = parts[2];
  ImportedScene scene;
  ImportOptions options;
  options.animationStem = "/f/anim";
  options.materialsPath = "/m/";
  if (!ImportRtgScene("/f/scene.rtg", files, options, ImportCallbacks(), scene)) return 0;
  for (const ImportedMesh& mesh : scene.meshes) {
    for (const ImportedFace& face : mesh.faces) {
      for (int32_t v : face.v) Check(v >= 0 && size_t(v) < mesh.vertices.size(), "face vertex");
      Check(face.material >= 0 && size_t(face.material) < scene.materials.size(), "face material");
    }
    Check(mesh.textureVertices.empty() || mesh.textureVertices.size() == mesh.vertices.size(), "texture vertices");
    Check(mesh.flags.size() == size_t(scene.frameCount) && mesh.locations.size() == size_t(scene.frameCount) &&
              mesh.matrices.size() == size_t(scene.frameCount),
          "frames");
  }
  for (const ImportedMaterial& m : scene.materials)
    Check(m.texture.pixels.size() == size_t(m.texture.width) * m.texture.height * 3, "texture size");
  return 0;
}
