// The palette builder over a full range with many flat materials, the
// nearest-entry search the voxelizer makes for every true-colour 3D pixel,
// and the triangulation of the importers' polygons.
#include "palette/palette.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

class BenchScene : public MaterialSource {
 public:
  explicit BenchScene(int flats) {
    for (int i = 0; i < flats; ++i) {
      auto m = std::make_unique<Material>();
      m->ambient[0] = m->diffuse[0] = uint8_t(i * 7);
      m->ambient[1] = m->diffuse[1] = uint8_t(i * 13);
      m->specular[0] = m->specular[1] = m->specular[2] = 200;
      m->shininess = 0.3f;
      m->shininessStrength = 0.4f;
      materials.push_back(std::move(m));
    }
  }
  Material* GetMaterial(int index) override { return materials[size_t(index)].get(); }
  int ReleaseMaterial(Material*) override { return 0; }
  int MaterialCount() const override { return int(materials.size()); }
  int MarkUsedMaterials(std::span<uint8_t> used) override {
    std::fill(used.begin(), used.end(), uint8_t(1));
    return 0;
  }
  void ReportError(const char*) override {}
  void ReportInfo(const char*) override {}
  PaletteTables& Palette() override { return tables; }

  std::vector<std::unique_ptr<Material>> materials;
  PaletteTables tables;
};

std::string RampAct() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("palette_bench_" + std::to_string(::getpid()) + ".act")).string();
  uint8_t colours[768];
  for (int i = 0; i < 768; ++i) colours[i] = uint8_t(i * 37 / 3);
  WriteActPalette(path, colours);
  return path;
}

void BM_PreparePaletteFullRange(benchmark::State& state) {
  PaletteSettings settings;
  settings.source = PaletteSourceKind::ActFile;
  settings.path = RampAct();
  settings.start = 0;
  settings.end = uint8_t(255 - state.range(0));
  BenchScene scene(int(state.range(0)));
  for (auto _ : state) {
    if (PreparePalette(scene, settings) != 0) state.SkipWithError("builder failed");
    ReleaseMaterials(scene);
  }
}
BENCHMARK(BM_PreparePaletteFullRange)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_ColourIndexTrueColour(benchmark::State& state) {
  PaletteSettings settings;
  settings.source = PaletteSourceKind::ActFile;
  settings.path = RampAct();
  settings.start = 1;
  settings.end = 254;
  BenchScene scene(0);
  PreparePalette(scene, settings);
  uint8_t rgb[3] = {0, 0, 0};
  for (auto _ : state) {
    rgb[0] = uint8_t(rgb[0] + 7), rgb[1] = uint8_t(rgb[1] + 3), rgb[2] = uint8_t(rgb[2] + 11);
    benchmark::DoNotOptimize(ColourIndex(scene.tables, rgb, 0));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ColourIndexTrueColour);

// A ring stored as one polygon (two outlines of arg / 2 - 1 sides joined by a
// doubled bridge edge), cut by ear clipping; and a convex quad, the fan.
void BM_TriangulateRing(benchmark::State& state) {
  const int half = int(state.range(0)) / 2;
  std::vector<std::array<float, 3>> corners;
  for (int i = 0; i < half; ++i) {
    const float a = 6.2831853f * float(i % (half - 1)) / float(half - 1);
    corners.push_back({2.0f * std::cos(a), 0.5f, 2.0f * std::sin(a)});
  }
  for (int i = 0; i < half; ++i) {
    const float a = -6.2831853f * float(i % (half - 1)) / float(half - 1);
    corners.push_back({1.8f * std::cos(a), 0.5f, 1.8f * std::sin(a)});
  }
  std::vector<PolygonTriangle> triangles;
  for (auto _ : state) {
    triangles.clear();
    TriangulatePolygon(corners, triangles);
    benchmark::DoNotOptimize(triangles.data());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(corners.size()));
}
BENCHMARK(BM_TriangulateRing)->Arg(66)->Arg(4096);

void BM_TriangulateConvexQuad(benchmark::State& state) {
  const std::vector<std::array<float, 3>> corners = {{0, 0, 0}, {1, 0, 0.1f}, {1, 1, 0.2f}, {0, 1, 0.1f}};
  std::vector<PolygonTriangle> triangles;
  for (auto _ : state) {
    triangles.clear();
    TriangulatePolygon(corners, triangles);
    benchmark::DoNotOptimize(triangles.data());
  }
}
BENCHMARK(BM_TriangulateConvexQuad);

}  // namespace

BENCHMARK_MAIN();
