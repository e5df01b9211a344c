// zvl voxelize: voxelizes a Wavefront OBJ mesh into a ZVL 9.0 file with one
// object and one frame, at one or more levels of detail, in the plug-in's
// part layout.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "palette/material.h"
#include "palette/palette.h"
#include "tools/zvl/command.h"
#include "voxelize/memory_host.h"
#include "voxelize/voxelize.h"
#include "zvlfile/zvlfile.h"

namespace {

struct VoxelizeOptions {
  std::string input;
  std::string output;
  float units = 0;  // 0: the largest extent / 100
  int levels = 1;
  float factor = 1.5f;
  int smooth = 0;
};

// The plain host with progress captions on standard error when it is a
// terminal.
class ToolHost : public MemoryConversionHost {
 public:
  bool showProgress = false;
  int BeginProgress(int total, const char* text) override {
    if (showProgress) std::cerr << "\r\033[K" << text << std::flush;
    return MemoryConversionHost::BeginProgress(total, text);
  }
  int EndProgress() override {
    if (showProgress) std::cerr << "\r\033[K" << std::flush;
    return MemoryConversionHost::EndProgress();
  }
};

bool Fail(const std::string& where, const std::string& message) {
  std::cerr << "zvl: " << where << ": " << message << "\n";
  zvltool::exitCode() = 1;
  return false;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return !in.bad();
}

bool Run(const VoxelizeOptions& options) {
  std::error_code ec;
  if (std::filesystem::exists(options.output, ec) &&
      std::filesystem::equivalent(options.input, options.output, ec))
    return Fail(options.output, "the output would replace the input");

  std::string text;
  if (!ReadFile(options.input, text)) return Fail(options.input, "cannot read the file");
  MeshObject mesh;
  std::string error;
  if (!ReadObjMesh(text, mesh, error)) return Fail(options.input, error);
  text.clear();
  text.shrink_to_fit();

  // Units: the largest extent of the bounding box over 100.
  float units = options.units;
  if (units == 0.0f) {
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (const auto& v : mesh.vertices)
      for (int a = 0; a < 3; ++a) {
        lo[a] = std::min(lo[a], v[size_t(a)]);
        hi[a] = std::max(hi[a], v[size_t(a)]);
      }
    float extent = 0;
    for (int a = 0; a < 3; ++a) extent = std::max(extent, hi[a] - lo[a]);
    units = extent / 100.0f;
    if (!(units > 0.0f)) units = 1.0f;
  }
  if (!(units > 0.0f) || !std::isfinite(units)) return Fail(options.input, "--units must be a positive number");
  if (options.levels < 1 || options.levels > VoxMaxParts) return Fail(options.input, "--levels must lie in 1..16");
  if (!(options.factor > 0.0f) || !std::isfinite(options.factor))
    return Fail(options.input, "--factor must be a positive number");

  float step = units;
  for (int level = 0; level < options.levels; ++level) {
    mesh.gridSteps.push_back(step);
    mesh.smoothing.push_back(options.smooth);
    step *= options.factor;
  }
  const std::string stem = std::filesystem::path(options.input).stem().string();
  mesh.name = stem;
  mesh.matrices = {{1, 0, 0, 0, 1, 0, 0, 0, 1}};
  mesh.locations = {{0, 0, 0}};
  mesh.frameFlags = {0};

  ToolHost host;
  host.showProgress = isatty(2) != 0;
  auto material = std::make_unique<Material>();
  material->kind = uint8_t(MaterialKind::Flat);
  material->name = "default";
  const uint8_t grey[3] = {200, 200, 200};
  for (int i = 0; i < 3; ++i) {
    material->ambient[i] = grey[i];
    material->diffuse[i] = grey[i];
    material->specular[i] = 255;
  }
  material->shininess = 0.2f;
  material->shininessStrength = 0.1f;
  host.AddMaterial(std::move(material));
  host.AddObject(std::move(mesh));
  host.conversionFlags = kFlagGeometry | kFlagAnimation | kFlagColorTable16;
  host.frameCount = 1;

  ZvlDatabasePtr database(ZvlCreateDatabase(0));
  if (!database) return Fail(options.output, ZvlGetErrorText());
  database->version = ZvlVersionValue(ZvlFormatVersion::V9_0);
  if (ZvlSetDatabaseName(*database, stem.c_str()) != 0 || ZvlSetSceneName(*database, stem.c_str()) != 0)
    return Fail(options.output, ZvlGetErrorText());
  if (host.Convert(*database) != 0) {
    const std::string message = host.errors.empty() ? "conversion stopped" : host.errors.back();
    return Fail(options.input, message);
  }
  ZvlSetWriterVersion(ZvlFormatVersion::V9_0);
  if (ZvlWriteDatabaseFile(options.output.c_str(), *database) != 0) return Fail(options.output, ZvlGetErrorText());
  return true;
}

void install(CLI::App& app) {
  auto options = std::make_shared<VoxelizeOptions>();
  CLI::App* cmd = app.add_subcommand("voxelize", "Voxelize a Wavefront OBJ mesh into a ZVL file");
  cmd->add_option("mesh", options->input, "OBJ file (v and f lines)")->required();
  cmd->add_option("-o,--output", options->output, "ZVL file to write")->required();
  cmd->add_option("--units", options->units, "scene units per 3D pixel of the finest level (default: extent / 100)");
  cmd->add_option("--levels", options->levels, "levels of detail (default 1)");
  cmd->add_option("--factor", options->factor, "growth of the units from one level to the next (default 1.5)");
  cmd->add_option("--smooth", options->smooth, "smoothing of the normals (default 0)");
  cmd->callback([options] { Run(*options); });
}

zvltool::RegisterCommand registration(40, install);

}  // namespace
