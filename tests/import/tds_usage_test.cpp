// The usage example of import/import.h, compiled and run on a written scene.
#include "import/import.h"
#include "tests/import/tds_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

bool Example(const std::string& path, std::array<float, 3>& placed) {
  // --- as in import.h ---
  ImportOptions options;
  ImportCallbacks callbacks;
  callbacks.error = [](const std::string& m) { std::cerr << m << '\n'; };
  ImportedScene scene;
  if (ImportScene(path, options, callbacks, scene)) {
    const ImportedMesh& mesh = scene.meshes[0];
    // Frame f puts vertex v at matrices[f] * (v - centre) + locations[f].
    const size_t f = 0;
    const auto& m = mesh.matrices[f];
    const auto& v = mesh.vertices[0];
    const float d[3] = {v[0] - mesh.centre[0], v[1] - mesh.centre[1], v[2] - mesh.centre[2]};
    for (int r = 0; r < 3; ++r)
      placed[size_t(r)] = m[size_t(3 * r)] * d[0] + m[size_t(3 * r + 1)] * d[1] + m[size_t(3 * r + 2)] * d[2] +
                          mesh.locations[f][size_t(r)];
    return true;
  }
  return false;
}

TEST(ImportUsage, TheChiefHeadersExampleRuns) {
  tdstest::Scene s;
  s.meshes = {tdstest::Cube("box", {0, 0, 0})};
  s.nodes = {tdstest::NodeAt("box", {10, 0, 0})};
  const std::string path = (std::filesystem::temp_directory_path() / "import_usage_test.3DS").string();
  const std::vector<uint8_t> bytes = tdstest::Write(s);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::array<float, 3> placed{};
  EXPECT_TRUE(Example(path, placed));  // the extension in any letter case
  EXPECT_EQ(placed, (std::array<float, 3>{9, -1, -1}));
  std::filesystem::remove(path);
  EXPECT_FALSE(Example(path + ".txt", placed));
}

}  // namespace
