// The VUE reader over arbitrary text, against a small scene whose nodes are
// named "box", "lid" and "pivot" (a node without a mesh).
#include "import/tds_animation.h"
#include "import/tds_import.h"
#include "import/tds_reader.h"
#include "tests/import/tds_writer.h"

#include <cstdlib>

namespace {

const std::vector<uint8_t>& SceneBytes() {
  static const std::vector<uint8_t> bytes = [] {
    tdstest::Scene s;
    s.meshes = {tdstest::Cube("box", {1, 2, 3}), tdstest::Cube("lid", {0, 0, 2})};
    s.nodes = {tdstest::NodeAt("box", {0, 0, 0}), tdstest::NodeAt("lid", {0, 0, 1}, 0),
               tdstest::NodeAt("pivot", {0, 0, 0})};
    return tdstest::Write(s);
  }();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  importer::Scene3DS scene;
  ImportCallbacks quiet;
  if (!importer::ParseScene3DS(SceneBytes(), "fuzz.3ds", scene, quiet)) std::abort();
  if (!importer::ParseVue({data, size}, scene, quiet)) return 0;
  ImportedScene result;
  importer::ToImportedScene3DS(scene, quiet, result);
  for (const ImportedMesh& mesh : result.meshes)
    if (mesh.matrices.size() != size_t(result.frameCount)) std::abort();
  return 0;
}
