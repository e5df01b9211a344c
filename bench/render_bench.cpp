// The renderer's speed: the splat writers per 3D pixel, the compositor per
// pixel, whole draws of a large object at several scales and modes, and
// whole 640 x 480 frames of a scene of about a million 3D pixels.
//
// Compare runs as separate processes (minimum, median, maximum), on a quiet
// machine: the Time column is wall-clock and grows with any other work on
// the machine, even on the other processor (on a two-processor virtual
// machine by a fifth when the other one is busy); the ns_per_ and fps
// counters are per processor second, which such work moves far less. The
// processors of a virtual machine need not run at one speed either (one
// was seen a third slower than the other for minutes): compare two builds
// in turn on the same processor (taskset -c N).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "bench/render_scenes.h"
#include "render/move_walk.h"
#include "render/render_internal.h"
#include "render/shade_table.h"
#include "render/writers.h"

namespace {

using namespace zvl::render;

using zvl::bench::BigObject;
using zvl::bench::Million;

void SetUpOnce() {
  static const bool done = [] { return ZvlSetup(&ZvlDefaultIoFunctions()) == 0; }();
  (void)done;
}

// --- The splat writers alone ---------------------------------------------------

// Every chain of the million-pixel object splatted at `scale` (identity
// matrix turned a little so that diagonals differ), each chain's cells
// cleared afterwards as a compositor would.
void SplatBench(benchmark::State& state, void (*writer)(const SplatJob&), float scale) {
  const BigObject& object = Million();
  static std::vector<uint32_t> tileWords(TileWords, TileEmpty);
  uint32_t* const tile = tileWords.data();
  float m[9];
  zvl::bench::TurnedMatrix(m);
  int32_t mx[3], my[3], mz[3];
  for (int k = 0; k < 3; ++k) {
    mx[k] = int32_t(std::lround(m[k] * 256 * scale));
    my[k] = int32_t(std::lround(m[3 + k] * 256 * scale));
    mz[k] = int32_t(std::lround(m[6 + k] * 256 * 4));
  }
  uint64_t perCode[32] = {};
  for (int code = 0; code < VoxMoveCodeCount; ++code) {
    const VoxStep d = VoxMoveSteps[code];
    const int32_t xs = mx[0] * d.dx + mx[1] * d.dy + mx[2] * d.dz, ys = my[0] * d.dx + my[1] * d.dy + my[2] * d.dz;
    const int32_t zs = mz[0] * d.dx + mz[1] * d.dy + mz[2] * d.dz;
    perCode[code] = (uint64_t(uint32_t(zs) << 8) << 32) | (uint32_t(xs) + (uint32_t(ys) << 16));
  }
  const uint16_t* shadeRow = ShadeWordRowFor(5, 20);
  StepTable steps;
  ExpandStepTable(perCode, shadeRow, steps);
  // Each chain's cells, found by stepping it once, so that clearing them
  // afterwards costs what a compositor's reading would, no more.
  struct Chain {
    VoxChainView view;
    int x0 = 255, y0 = 255, x1 = 0, y1 = 0;
  };
  std::vector<Chain> chains;
  VoxChainCursor cursor(object.parts[0]);
  VoxChainView view;
  while (cursor.next(view)) {
    Chain chain{view};
    uint32_t position = 0x80008000u;
    for (int32_t i = 0; i < view.count; ++i) {
      position += steps.xy[view.moves[3 * i]];
      for (uint32_t p : {position, position + 0x00800080u, position + 0xFF800080u}) {
        const int x = int(TileCell(p) & 255), y = int(TileCell(p) >> 8);
        chain.x0 = std::min(chain.x0, x), chain.x1 = std::max(chain.x1, x);
        chain.y0 = std::min(chain.y0, y), chain.y1 = std::max(chain.y1, y);
      }
    }
    chains.push_back(chain);
  }
  SplatJob job;
  job.tile = tile;
  job.steps = &steps;
  job.shadeRow = shadeRow;
  job.offset1 = 0x00800080u, job.offset2 = 0xFF800080u;
  for (auto _ : state) {
    for (const Chain& chain : chains) {
      job.moves = chain.view.moves;
      job.count = chain.view.count;
      job.position = 0x80008000u;
      job.depth = 30000u << 16;
      writer(job);
      ClearTileRect(tile, ZvlMakeRect(chain.x0, chain.y0, chain.x1, chain.y1));
    }
  }
  state.SetItemsProcessed(state.iterations() * object.pixels);
  state.counters["ns_per_3d_pixel"] = benchmark::Counter(double(object.pixels) * double(state.iterations()),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The move decode alone: every step and lookup of the plain writers, each
// ColorIndex summed instead of written to the tile.
uint32_t g_walkSum = 0;
void WalkOnly(const SplatJob& job) {
  uint32_t sum = 0, last = 0;
  WalkMoves(job, [&](uint32_t position, uint32_t depth, uint16_t colorIndex) {
    sum += colorIndex;
    last = position ^ depth;
  });
  g_walkSum += sum ^ last;
}

void BM_MoveDecode_Plain(benchmark::State& s) { SplatBench(s, WalkOnly, 0.7f); }
BENCHMARK(BM_MoveDecode_Plain)->Unit(benchmark::kMillisecond);
void BM_OnePointSplat_Plain(benchmark::State& s) { SplatBench(s, PlainOnePointSplat, 0.7f); }
void BM_OnePointSplat_Packed(benchmark::State& s) { SplatBench(s, PackedOnePointSplat, 0.7f); }
void BM_ThreePointSplat_Plain(benchmark::State& s) { SplatBench(s, PlainThreePointSplat, 0.95f); }
void BM_ThreePointSplat_Packed(benchmark::State& s) { SplatBench(s, PackedThreePointSplat, 0.95f); }
BENCHMARK(BM_OnePointSplat_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnePointSplat_Packed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreePointSplat_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreePointSplat_Packed)->Unit(benchmark::kMillisecond);

// --- The compositor alone ------------------------------------------------------

// A whole tile of words (half of them empty) composited 1:1 into a 16-bit
// frame with the depth test.
// Random: every other word empty at random; Disc: a filled disc (as an
// object leaves it) in an empty square.
void CompositeBench(benchmark::State& state, bool random) {
  const WriterSet* writers = FindWriterSet(ZvlWriterSetKind::Plain, 2, false);
  std::vector<uint32_t> source(TileWords), tile(TileWords);
  std::mt19937 rng(1);
  for (int i = 0; i < TileWords; ++i) {
    const int x = i % 256 - 128, y = i / 256 - 128;
    const bool filled = random ? rng() % 2 == 0 : x * x + y * y < 120 * 120;
    source[i] = filled ? ((20000 + rng() % 20000) << 16) | (rng() % 6144) : TileEmpty;
  }
  std::vector<uint16_t> table(ZvlColorIndexCount, 0x1234), color(512 * 512), depth(512 * 512);
  CompositeJob job;
  job.tile = tile.data();
  job.color = color.data();
  job.colorPitch = 512;
  job.depth = depth.data();
  job.depthPitch = 512;
  job.colorTable = table.data();
  job.cells = ZvlMakeRect(0, 0, 255, 255);
  job.left = 100, job.top = 100;
  for (auto _ : state) {
    state.PauseTiming();
    tile = source;
    std::fill(depth.begin(), depth.end(), 0xFFFF);
    state.ResumeTiming();
    writers->composite(job);
    benchmark::DoNotOptimize(color.data());
  }
  state.counters["ns_per_pixel"] = benchmark::Counter(double(TileWords) * double(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
void BM_Composite16_Random(benchmark::State& s) { CompositeBench(s, true); }
void BM_Composite16_Disc(benchmark::State& s) { CompositeBench(s, false); }
BENCHMARK(BM_Composite16_Random)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Composite16_Disc)->Unit(benchmark::kMicrosecond);

// --- Whole draws of the big object -------------------------------------------

void DrawBench(benchmark::State& state, DrawMode mode, float scale) {
  SetUpOnce();
  zvl::bench::ObjectDraw draw;
  for (auto _ : state) {
    state.PauseTiming();
    draw.clearDepth();
    state.ResumeTiming();
    draw.draw(mode, scale);
  }
  state.counters["ns_per_3d_pixel"] = benchmark::Counter(double(Million().pixels) * double(state.iterations()),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Draw_Fill_0_6(benchmark::State& s) { DrawBench(s, DrawMode::Fill, 0.6f); }
void BM_Draw_Fill_0_95(benchmark::State& s) { DrawBench(s, DrawMode::Fill, 0.95f); }
void BM_Draw_Fill_2_0(benchmark::State& s) { DrawBench(s, DrawMode::Fill, 2.0f); }
void BM_Draw_Pack_1_0(benchmark::State& s) { DrawBench(s, DrawMode::Pack, 1.0f); }
void BM_Draw_Stretch_1_0(benchmark::State& s) { DrawBench(s, DrawMode::Stretch, 1.0f); }
BENCHMARK(BM_Draw_Fill_0_6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw_Fill_0_95)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw_Fill_2_0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw_Pack_1_0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw_Stretch_1_0)->Unit(benchmark::kMillisecond);

// --- Whole frames ----------------------------------------------------------------

// Whole 640 x 480 frames of about a million 3D pixels (render_scenes.h).
void FrameBench(benchmark::State& state, bool shadows, int objects, float fit) {
  SetUpOnce();
  zvl::bench::FrameScene scene(shadows, objects, fit);
  for (auto _ : state) benchmark::DoNotOptimize(scene.render());
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["3d_pixels"] = double(scene.pixels());
}

void BM_Frame640x480_FourBalls_Shadows_Off(benchmark::State& s) { FrameBench(s, false, 4, 700.0f); }
void BM_Frame640x480_FourBalls_Shadows_On(benchmark::State& s) { FrameBench(s, true, 4, 700.0f); }
void BM_Frame640x480_OneObject_Shadows_Off(benchmark::State& s) { FrameBench(s, false, 1, 1000.0f); }
void BM_Frame640x480_OneObject_Shadows_On(benchmark::State& s) { FrameBench(s, true, 1, 1000.0f); }
BENCHMARK(BM_Frame640x480_FourBalls_Shadows_Off)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame640x480_FourBalls_Shadows_On)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame640x480_OneObject_Shadows_Off)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame640x480_OneObject_Shadows_On)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
void BM_Draw_Fill_Scale(benchmark::State& s) { DrawBench(s, DrawMode::Fill, float(s.range(0)) / 100.0f); }
BENCHMARK(BM_Draw_Fill_Scale)->Arg(20)->Arg(39)->Arg(60)->Unit(benchmark::kMillisecond);
}  // namespace
BENCHMARK_MAIN();
