// The 3D Studio reader on files written by real modelling programs (Debian's
// assimp-testmodels), checked against what assimp's own reader reports for
// them (assimp-utils). Skipped when the packages are absent.
#include "import/import.h"
#include "import/messages.h"
#include "import/tds_animation.h"
#include "import/tds_import.h"
#include "import/tds_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;
const fs::path kModels = "/usr/share/assimp/models/3DS";

std::vector<fs::path> SceneFiles() {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(kModels, ec)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".3ds") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// Node name -> total faces of its meshes, from `assimp info FILE -r`.
std::map<std::string, size_t> AssimpObjectFaces(const fs::path& file) {
  const std::string report = Output("assimp info '" + file.string() + "' -r 2>/dev/null");
  std::map<int, size_t> meshFaces;
  std::map<std::string, size_t> objects;
  const std::regex meshLine(R"(^\s+(\d+) \(.*\): \[\d+ / \d+ / (\d+) \|)");
  const std::regex nodeLine(R"(([^\s│├└╴─]+) \(mesh ([\d, ]+)\))");
  std::istringstream lines(report);
  std::string line;
  std::smatch m;
  while (std::getline(lines, line)) {
    if (std::regex_search(line, m, meshLine)) meshFaces[std::stoi(m[1])] = std::stoul(m[2]);
    if (std::regex_search(line, m, nodeLine)) {
      size_t faces = 0;
      std::istringstream indices(std::regex_replace(m[2].str(), std::regex(","), " "));
      for (int index; indices >> index;) faces += meshFaces[index];
      objects[m[1]] += faces;
    }
  }
  return objects;
}

struct Imported {
  bool ok = false;
  ImportedScene scene;
  std::vector<std::string> errors;
};

Imported Import(const fs::path& file) {
  Imported r;
  ImportCallbacks callbacks;
  callbacks.error = [&](const std::string& m) { r.errors.push_back(m); };
  r.ok = ImportScene(file.string(), ImportOptions{}, callbacks, r.scene);
  return r;
}

TEST(RealFiles3DS, ImportAndMatchAssimpsObjectsAndFaces) {
  const auto files = SceneFiles();
  if (files.empty()) GTEST_SKIP() << "assimp-testmodels is not installed";
  const bool haveAssimp = !Output("command -v assimp").empty();
  int refused = 0, compared = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    const Imported r = Import(file);
    if (!r.ok) {
      // Files without a keyframer section are refused, with that message.
      EXPECT_EQ(r.errors.back(), importer::msg::ExpectedKeyframer);
      ++refused;
      continue;
    }
    EXPECT_FALSE(r.scene.meshes.empty());
    for (const ImportedMesh& mesh : r.scene.meshes) {
      EXPECT_EQ(mesh.locations.size(), size_t(r.scene.frameCount));
      EXPECT_EQ(mesh.matrices.size(), size_t(r.scene.frameCount));
    }
    if (!haveAssimp) continue;
    const auto expected = AssimpObjectFaces(file);
    std::map<std::string, size_t> ours;
    for (const ImportedMesh& mesh : r.scene.meshes) ours[mesh.name] += mesh.faces.size();
    EXPECT_EQ(ours, expected);
    ++compared;
  }
  EXPECT_EQ(refused, 1);
  if (haveAssimp) {
    EXPECT_EQ(compared + refused, int(files.size()));
  }
}

// The file stores the vertices as they stand at its current time, and there
// the keyframer places every vertex of a root object where the file stores
// it: the object frame taken with the mesh matrix and the animation of its
// node undo each other (for scaled axes only when the matrix is inverted).
TEST(RealFiles3DS, CurrentFramePutsVerticesWhereTheFileStoresThem) {
  const auto files = SceneFiles();
  if (files.empty()) GTEST_SKIP() << "assimp-testmodels is not installed";
  int checked = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    importer::Scene3DS scene;
    ImportCallbacks quiet;
    if (!importer::ReadScene3DS(file.string(), scene, quiet)) continue;
    ASSERT_TRUE(importer::CalculateAnimation3DS(scene, quiet));
    ImportedScene result;
    importer::ToImportedScene3DS(scene, quiet, result);
    for (size_t i = 0; i < scene.meshes.size(); ++i) {
      const importer::TriMesh3DS& mesh = *scene.meshes[i].mesh;
      const importer::KeyframerNode3DS* node = scene.NodeOfMesh(i);
      if (!mesh.hasMatrix || !node || node->parent != importer::kNoParent3DS) continue;
      const ImportedMesh& out = result.meshes[i];
      const size_t f = std::min<size_t>(scene.currentTime, size_t(result.frameCount - 1));
      const auto& a = mesh.matrix;
      double extent = 1;
      for (const auto& v : mesh.vertices) extent = std::max({extent, std::abs(double(v[0])), std::abs(double(v[1]))});
      for (const auto& v : mesh.vertices) {
        const auto& m = out.matrices[f];
        const auto& c = out.centre;
        for (int r = 0; r < 3; ++r) {
          const double stored = a[size_t(9 + r)] + v[0] * a[size_t(r)] + v[1] * a[size_t(3 + r)] + v[2] * a[size_t(6 + r)];
          const double placed = m[size_t(r * 3)] * (v[0] - c[0]) + m[size_t(r * 3 + 1)] * (v[1] - c[1]) +
                                m[size_t(r * 3 + 2)] * (v[2] - c[2]) + out.locations[f][size_t(r)];
          ASSERT_NEAR(placed, stored, 1e-3 * extent) << out.name << " frame " << f << " axis " << r;
        }
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 5);
}

}  // namespace
