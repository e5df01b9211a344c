// The authoring program's whole 3D Studio conversion: a scene of about
// 100 000 triangles (four dense spheres in a hierarchy, 24 frames) at 256
// 3D pixels across its largest object, read, palette, voxelization and
// write. The counters give each stage's share in milliseconds: read (the
// scene, its animation and the materials), palette (palette and colour
// tables), one counter per voxelization stage (summed over the objects), and
// write (what the job's writer adds).
#include "authoring/scene_conversion.h"
#include "palette/palette.h"
#include "samples/scene_writers.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Times the conversion stages by the captions the engine opens them with.
class StageClock : public authoring::ConversionReporter {
 public:
  void Error(const std::string& text) override { errors += text + "; "; }
  void Warning(const std::string&) override {}
  void Stage(int, const std::string& text) override {
    close();
    current_ = text.substr(0, text.find(" : "));
    since_ = Clock::now();
  }
  // Closes the running stage (the writer's own work follows the last one).
  void close() {
    if (!current_.empty()) stages[current_] += Milliseconds(Clock::now() - since_);
    current_.clear();
  }
  std::map<std::string, double> stages;
  std::string errors;

 private:
  std::string current_;
  Clock::time_point since_;
};

samples::SampleMesh Sphere(const std::string& name, float radius, int rings, int segments, int material) {
  samples::SampleMesh mesh;
  mesh.name = name;
  mesh.material = material;
  const double pi = 3.14159265358979323846;
  for (int r = 0; r <= rings; ++r)
    for (int s = 0; s < segments; ++s) {
      const double theta = pi * r / rings, phi = 2 * pi * s / segments;
      // A little relief, so the surface is not a plain sphere.
      const double bump = 1.0 + 0.05 * std::sin(7 * phi) * std::sin(5 * theta);
      mesh.vertices.push_back({float(radius * bump * std::sin(theta) * std::cos(phi)),
                               float(radius * bump * std::sin(theta) * std::sin(phi)),
                               float(radius * bump * std::cos(theta))});
      mesh.uvs.push_back({float(s) / float(segments), float(r) / float(rings)});
    }
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < segments; ++s) {
      const uint16_t a = uint16_t(r * segments + s), b = uint16_t(r * segments + (s + 1) % segments);
      const uint16_t c = uint16_t(a + segments), d = uint16_t(b + segments);
      if (r > 0) mesh.faces.push_back({a, c, b});
      if (r < rings - 1) mesh.faces.push_back({b, c, d});
    }
  return mesh;
}

struct BenchScene {
  std::filesystem::path folder;
  std::string scene, palette;
  int triangles = 0;
};

const BenchScene& MakeScene() {
  static BenchScene made = [] {
    BenchScene b;
    b.folder = std::filesystem::temp_directory_path() / "zorvel_convert_bench";
    std::filesystem::create_directories(b.folder);
    samples::Scene3ds scene = samples::Windmill3ds();
    scene.meshes.clear();
    scene.nodes.clear();
    const char* names[] = {"body", "head", "left", "right"};
    const float radii[] = {2.0f, 1.0f, 0.7f, 0.7f};
    for (int i = 0; i < 4; ++i) {
      scene.meshes.push_back(Sphere(names[i], radii[i], 101, 125, i == 0 ? 0 : i % 3));
      b.triangles += int(scene.meshes.back().faces.size());
      samples::Node3ds node;
      node.name = names[i];
      node.parent = i == 0 ? 65535 : 0;
      const float offsets[4][3] = {{0, 0, 0}, {0, 0, 2.8f}, {-2.5f, 0, 0}, {2.5f, 0, 0}};
      node.positions = {{0, {offsets[i][0], offsets[i][1], offsets[i][2]}}};
      node.rotations = {{0, {0, 0, 0, 1}}, {23, {1.0f, 0, 0, 1}}};
      node.scales = {{0, {1, 1, 1}}};
      scene.nodes.push_back(node);
    }
    b.scene = (b.folder / "bench.3ds").string();
    b.palette = (b.folder / "bench.act").string();
    samples::WriteFileBytes(b.scene, samples::Write3ds(scene));
    int width = 0, height = 0;
    TextureImage bricks;
    bricks.pixels = samples::BrickTexels(width, height);
    bricks.width = uint16_t(width);
    bricks.height = uint16_t(height);
    WriteBmpTexture((b.folder / "bricks.bmp").string(), bricks);
    WriteActPalette(b.palette, samples::MainPalette().data());
    return b;
  }();
  return made;
}

void BM_Convert3dsScene(benchmark::State& state) {
  const BenchScene& scene = MakeScene();
  authoring::PageFields fields;
  fields.scenePath = scene.scene;
  fields.palettePath = scene.palette;
  const std::string output = (scene.folder / "bench.zvl").string();
  std::map<std::string, double> totals;
  for (auto _ : state) {
    StageClock clock;
    authoring::SceneConversion conversion(clock);
    const auto t0 = Clock::now();
    if (!conversion.Prepare(fields)) state.SkipWithError(clock.errors.c_str());
    const auto t1 = Clock::now();
    // 256 3D pixels across the largest object (4 units plus the relief).
    if (!conversion.Setup(4.4f / 256, output)) state.SkipWithError(clock.errors.c_str());
    const auto t2 = Clock::now();
    if (conversion.Run() != 0) state.SkipWithError(clock.errors.c_str());
    const auto t3 = Clock::now();
    clock.close();
    double engine = 0;
    for (const auto& [stage, ms] : clock.stages) {
      totals[stage] += ms;
      engine += ms;
    }
    totals["read"] += Milliseconds(t1 - t0);
    totals["palette"] += Milliseconds(t2 - t1);
    totals["write"] += Milliseconds(t3 - t2) - engine;
  }
  for (const auto& [stage, ms] : totals)
    state.counters[stage + " ms"] = benchmark::Counter(ms / double(state.iterations()));
  state.counters["triangles"] = scene.triangles;
}
BENCHMARK(BM_Convert3dsScene)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
