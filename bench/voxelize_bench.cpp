// The voxelization engine on a UV sphere of 131 072 triangles, 256 cells
// across, with smoothing 0 and 2: triangles and 3D pixels per second, the
// time of each stage (from the progress displays the engine opens) and the
// peak of memory taken while it runs. The same OBJ converted by vdb_tool
// (Debian's libopenvdb-tools) gives a reference wall time on all cores.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <sstream>
#include <string>

#include "palette/material.h"
#include "voxelize/memory_host.h"
#include "voxelize/voxelize.h"
#include "zvlfile/voxpart.h"

// ---- Memory accounting: every heap block of the process ----

namespace {
size_t g_current = 0;
size_t g_peak = 0;
}  // namespace

// The replacement pair below is malloc and free underneath by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  g_current += malloc_usable_size(p);
  if (g_current > g_peak) g_peak = g_current;
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  g_current -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }
#pragma GCC diagnostic pop

namespace {

constexpr int Segments = 256;
constexpr int Rings = 257;  // 2 * 256 + 2 * 256 * 255 = 131 072 triangles
constexpr float CellsAcross = 256.0f;

// A unit UV sphere as OBJ text.
std::string SphereObj() {
  std::ostringstream out;
  out << "v 0 0 1\n";
  for (int r = 1; r < Rings; ++r) {
    const double theta = M_PI * r / Rings;
    for (int s = 0; s < Segments; ++s) {
      const double phi = 2 * M_PI * s / Segments;
      out << "v " << std::sin(theta) * std::cos(phi) << ' ' << std::sin(theta) * std::sin(phi) << ' '
          << std::cos(theta) << '\n';
    }
  }
  out << "v 0 0 -1\n";
  const int last = 2 + (Rings - 1) * Segments;
  for (int s = 0; s < Segments; ++s) out << "f 1 " << 2 + s << ' ' << 2 + (s + 1) % Segments << '\n';
  for (int r = 0; r < Rings - 2; ++r)
    for (int s = 0; s < Segments; ++s) {
      const int a = 2 + r * Segments + s, b = 2 + r * Segments + (s + 1) % Segments;
      out << "f " << a << ' ' << a + Segments << ' ' << b + Segments << "\nf " << a << ' ' << b + Segments << ' '
          << b << '\n';
    }
  for (int s = 0; s < Segments; ++s) {
    const int a = 2 + (Rings - 2) * Segments + s, b = 2 + (Rings - 2) * Segments + (s + 1) % Segments;
    out << "f " << a << ' ' << last << ' ' << b << '\n';
  }
  return out.str();
}

const std::string& SpherePath() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "voxelize_bench_sphere.obj").string();
    std::ofstream(p) << SphereObj();
    return p;
  }();
  return path;
}

const MeshObject& Sphere() {
  static const MeshObject mesh = [] {
    MeshObject m;
    std::string error;
    std::ifstream in(SpherePath());
    std::stringstream text;
    text << in.rdbuf();
    if (!ReadObjMesh(text.str(), m, error)) std::abort();
    m.name = "sphere";
    return m;
  }();
  return mesh;
}

// The plain host with the engine's blocks counted and the stage times taken
// from the progress displays.
class BenchHost : public MemoryConversionHost {
 public:
  std::map<std::string, double> stageSeconds;

  void* Allocate(size_t size) override {
    void* p = ConversionHost::Allocate(size);
    if (p) {
      g_current += malloc_usable_size(p);
      if (g_current > g_peak) g_peak = g_current;
    }
    return p;
  }
  void Free(void** block) override {
    if (block && *block) g_current -= malloc_usable_size(*block);
    ConversionHost::Free(block);
  }

  int BeginProgress(int, const char* text) override {
    closeStage("other");
    stage_ = text ? std::string(text).substr(0, std::string(text).find(" : ")) : "";
    since_ = Now();
    return 0;
  }
  int EndProgress() override {
    closeStage(stage_);
    stage_.clear();
    since_ = Now();
    return 0;
  }
  int StepProgress(int) override { return 0; }
  void start() { since_ = Now(); }
  void finish() { closeStage("other"); }

 private:
  // Processor time of this thread, so that other load does not count.
  static double Now() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
  }
  void closeStage(const std::string& name) {
    const double now = Now();
    stageSeconds[name.empty() ? "other" : name] += now - since_;
    since_ = now;
  }
  std::string stage_;
  double since_ = Now();
};

void Voxelize(benchmark::State& state) {
  const int smoothing = int(state.range(0));
  const MeshObject& sphere = Sphere();
  const float step = 2.0f / CellsAcross;
  BenchHost host;
  host.UseOneFlatMaterial();

  int32_t pixels = 0;
  int chains = 0;
  size_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    MeshObject copy = sphere;  // the per-level copy, as ZorvelizeObject makes it
    const size_t base = g_current;
    g_peak = g_current;
    state.ResumeTiming();
    host.start();
    std::vector<uint8_t> part = ZorvelizeMesh(host, &copy, step, smoothing);
    host.finish();
    if (part.empty()) {
      state.SkipWithError("voxelization failed");
      return;
    }
    pixels = VoxReadHead(part.data()).pixelCount;
    std::vector<VoxPartView> parts;
    chains = 0;
    if (VoxListParts(part.data(), part.size(), parts)) {
      VoxChainCursor cursor(parts[0]);
      VoxChainView chain;
      while (cursor.next(chain)) ++chains;
    }
    peak = g_peak - base;
  }
  const double iterations = double(state.iterations());
  state.counters["triangles/s"] =
      benchmark::Counter(double(sphere.faces.size()) * iterations, benchmark::Counter::kIsRate);
  state.counters["3D pixels/s"] = benchmark::Counter(double(pixels) * iterations, benchmark::Counter::kIsRate);
  state.counters["3D pixels"] = pixels;
  state.counters["chains"] = chains;
  state.counters["peak MB"] = double(peak) / (1024.0 * 1024.0);
  state.counters["peak B/3D pixel"] = double(peak) / double(pixels);
  const size_t meshBytes = sphere.vertices.size() * sizeof(sphere.vertices[0]) + sphere.faces.size() * sizeof(MeshFace);
  state.counters["peak B/3D pixel, mesh copy too"] = double(peak + meshBytes) / double(pixels);
  for (const auto& [name, seconds] : host.stageSeconds) state.counters["ms " + name] = 1000.0 * seconds / iterations;
}
BENCHMARK(Voxelize)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The reference: vdb_tool turning the same OBJ into a level set, 256 voxels
// across, on every core (wall time of the whole program, file reading
// included).
void VdbToolMeshToLevelSet(benchmark::State& state) {
  const std::string vdb = (std::filesystem::temp_directory_path() / "voxelize_bench_sphere.vdb").string();
  const std::string command = "vdb_tool -read '" + SpherePath() + "' -mesh2ls d=256 -write '" + vdb + "' > /dev/null 2>&1";
  if (std::system("command -v vdb_tool > /dev/null 2>&1") != 0) {
    state.SkipWithError("vdb_tool is not installed");
    return;
  }
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("vdb_tool failed");
      return;
    }
  }
  state.counters["triangles/s"] =
      benchmark::Counter(double(Sphere().faces.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
  std::filesystem::remove(vdb);
}
BENCHMARK(VdbToolMeshToLevelSet)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
