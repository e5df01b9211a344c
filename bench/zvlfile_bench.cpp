// Throughput of the ZVL writer and reader on a large database (about 100 MB
// of voxel parts over 300 objects), beside a plain sequential write and read
// of the same number of bytes through the same I/O functions.
#include "zvlfile/zvlfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

constexpr int Objects = 300;
constexpr int ChainLength = 2000;
constexpr int Chains = 55;  // about 110,000 3D pixels, 330 KB an object

std::string scratchPath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(getpid()) + ".zvl")).string();
}

const ZorvelDatabase& largeDatabase(bool streamable) {
  static ZvlDatabasePtr databases[2];
  ZvlDatabasePtr& db = databases[streamable];
  if (db) return *db;
  std::vector<std::vector<VoxPixel>> chains(Chains);
  for (int c = 0; c < Chains; ++c)
    for (int i = 0; i < ChainLength; ++i) {
      VoxPixel p;
      // Back and forth along x, one row further in y each time.
      const int row = i / 200, column = i % 200;
      p.x = int16_t((row % 2 ? 199 - column : column) - 100);
      p.y = int16_t(c * 12 + row);
      p.normal = uint16_t(i % 2048);
      p.color = uint8_t(c);
      chains[size_t(c)].push_back(p);
    }
  // Two levels of detail: the full part and a quarter of it.
  std::vector<uint8_t> fine, coarse, object;
  if (!VoxBuildPart(chains, 1.0f, VoxPartForm::WithZeroWord, {}, fine)) std::abort();
  chains.resize(Chains / 4);
  if (!VoxBuildPart(chains, 2.0f, VoxPartForm::WithZeroWord, {}, coarse) ||
      !VoxJoinParts(std::vector<std::vector<uint8_t>>{fine, coarse}, false, object))
    std::abort();
  db.reset(ZvlCreateDatabase(streamable ? ZvlStreamable : 0));
  db->version = 1;
  ZvlSetObjectCount(*db, Objects);
  ZvlAllocAnimation(*db, 100);
  for (int i = 0; i < Objects; ++i) {
    ZvlSetObjectName(*db, i, ("object" + std::to_string(i)).c_str());
    ZvlSetObjectGeometry(*db, i, object.data(), object.size());
  }
  return *db;
}

size_t voxBytes(const ZorvelDatabase& db) {
  size_t total = 0;
  for (int i = 0; i < db.objectCount; ++i) total += size_t(db.geometry[i].totalSize);
  return total;
}

void BM_WriteDatabase(benchmark::State& state) {
  const ZorvelDatabase& db = largeDatabase(state.range(0) != 0);
  const std::string path = scratchPath("bench_write");
  for (auto _ : state) {
    ZvlFileStream file;
    file.open(path, "wb");
    if (ZvlWriteDatabase(ZvlStreamHandle(file), db) != 0) state.SkipWithError(ZvlGetErrorText());
    file.close();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(voxBytes(db)));
  std::remove(path.c_str());
}

void BM_ReadDatabase(benchmark::State& state) {
  const ZorvelDatabase& db = largeDatabase(state.range(0) != 0);
  const std::string path = scratchPath("bench_read");
  ZvlWriteDatabaseFile(path.c_str(), db);
  for (auto _ : state) {
    ZvlDatabasePtr back(ZvlReadDatabaseFile(path.c_str()));
    if (!back) state.SkipWithError(ZvlGetErrorText());
    benchmark::DoNotOptimize(back.get());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(voxBytes(db)));
  std::remove(path.c_str());
}

// The same bytes, one object's block after another, with no chunks.
void BM_PlainWrite(benchmark::State& state) {
  const ZorvelDatabase& db = largeDatabase(false);
  const std::string path = scratchPath("bench_plain_write");
  for (auto _ : state) {
    ZvlFileStream file;
    file.open(path, "wb");
    for (int i = 0; i < db.objectCount; ++i)
      ZvlIo().write(ZvlStreamHandle(file), db.geometry[i].voxObject, db.geometry[i].totalSize);
    file.close();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(voxBytes(db)));
  std::remove(path.c_str());
}

void BM_PlainRead(benchmark::State& state) {
  const ZorvelDatabase& db = largeDatabase(false);
  const std::string path = scratchPath("bench_plain_read");
  {
    ZvlFileStream file;
    file.open(path, "wb");
    for (int i = 0; i < db.objectCount; ++i)
      ZvlIo().write(ZvlStreamHandle(file), db.geometry[i].voxObject, db.geometry[i].totalSize);
  }
  for (auto _ : state) {
    ZvlFileStream file;
    file.open(path, "rb");
    // Into fresh blocks from the same allocate function, kept until all are
    // in, as a loader keeps them.
    std::vector<void*> blocks(size_t(db.objectCount));
    for (int i = 0; i < db.objectCount; ++i) {
      blocks[size_t(i)] = ZvlIo().allocate(size_t(db.geometry[i].totalSize));
      ZvlReadExact(ZvlStreamHandle(file), blocks[size_t(i)], db.geometry[i].totalSize);
      benchmark::DoNotOptimize(blocks[size_t(i)]);
    }
    for (void* block : blocks) ZvlIo().free(block);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(voxBytes(db)));
  std::remove(path.c_str());
}

BENCHMARK(BM_WriteDatabase)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadDatabase)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
