// The 3D Studio reader, the keyframer calculation and the conversion into an
// imported scene over arbitrary bytes: no read out of bounds, no crash, no
// hang, and an accepted scene has one placement per mesh and frame.
#include "import/tds_animation.h"
#include "import/tds_import.h"
#include "import/tds_reader.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  importer::Scene3DS scene;
  ImportCallbacks quiet;
  if (!importer::ParseScene3DS({data, size}, "fuzz.3ds", scene, quiet)) return 0;
  // Long animations are bounded by the calculation itself; short ones keep
  // the fuzzer fast.
  if (scene.animationLength > 300 && scene.animationLength < 0x80000000u) scene.animationLength = 300;
  if (!importer::CalculateAnimation3DS(scene, quiet)) return 0;
  ImportedScene result;
  importer::ToImportedScene3DS(scene, quiet, result);
  for (const ImportedMesh& mesh : result.meshes) {
    const size_t n = size_t(result.frameCount);
    if (mesh.flags.size() != n || mesh.locations.size() != n || mesh.matrices.size() != n) {
      std::fprintf(stderr, "placements of %s do not cover the frames\n", mesh.name.c_str());
      std::abort();
    }
    for (const ImportedFace& face : mesh.faces)
      for (int32_t v : face.v)
        if (v < 0 || size_t(v) >= mesh.vertices.size()) std::abort();
  }
  return 0;
}
