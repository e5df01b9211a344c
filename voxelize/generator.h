// The working state of one voxelization of one mesh at one level (internal to
// the engine). The stages of the pipeline are free functions over the
// ZorvelGenerator, each returning 0 or -1; a failing stage has reported its
// message, and whatever the generator holds is released by its destructor.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "voxelize/conversion_host.h"
#include "voxelize/voxelize.h"

namespace voxelize {

// Voxel flag bits.
inline constexpr uint8_t VoxelFlat = 0x01;      // the colour is a flat colour index
inline constexpr uint8_t VoxelOccupied = 0x02;  // set on every voxel before flooding
inline constexpr uint8_t VoxelInGrid = 0x04;    // in a cell list of the VoxelGrid
inline constexpr uint8_t VoxelMarked = 0x40;    // inside the division box, not yet in a chain
inline constexpr uint8_t VoxelVisible = 0x80;   // reached by the flood

// One 3D pixel while the engine works. The voxels of one (x, y) cell form an
// unsorted list, newest first; at most one voxel per (x, y, z). Once a voxel
// joins a chain, `next` links it to the following voxel of the chain.
// A voxel with a true colour keeps it in a ColourSample of its own; flat
// voxels, the common case, need none, which keeps a voxel at 32 bytes.
struct Voxel {
  int16_t x, y, z;
  uint8_t flatIndex;
  uint8_t flags;
  float normal[3];  // sum of the sign-aligned face normals of its samples
  uint32_t colour;  // its ColourSample (ColourPool index), 0 for none
  Voxel* next;
};

static_assert(sizeof(Voxel) <= 32, "a voxel stays at 32 bytes");

// The true colour of a voxel: the running mean of its samples.
struct ColourSample {
  float rgb[3];
  int32_t count;  // number of samples averaged
};

// A block of T taken from the host and given back when the owner goes.
template <class T>
class HostArray {
 public:
  HostArray() = default;
  ~HostArray() { reset(); }
  HostArray(const HostArray&) = delete;
  HostArray& operator=(const HostArray&) = delete;

  // Zeroed room for count elements; false when the host has none (or the
  // byte count would overflow).
  bool allocate(ConversionHost& host, size_t count) {
    reset();
    if (count > SIZE_MAX / sizeof(T)) return false;
    void* block = host.Allocate(count * sizeof(T) + (count == 0 ? 1 : 0));
    if (block == nullptr) return false;
    host_ = &host;
    data_ = static_cast<T*>(block);
    size_ = count;
    return true;
  }
  void reset() {
    if (data_ != nullptr) {
      void* block = data_;
      host_->Free(&block);
    }
    data_ = nullptr;
    size_ = 0;
  }
  void swapWith(HostArray& other) {
    std::swap(host_, other.host_);
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
  }
  T* data() const { return data_; }
  size_t size() const { return size_; }
  T& operator[](size_t i) const { return data_[i]; }

 private:
  ConversionHost* host_ = nullptr;
  T* data_ = nullptr;
  size_t size_ = 0;
};

// Voxels come from blocks taken through the host; freed voxels go on a free
// list for reuse. No per-voxel allocation.
class VoxelPool {
 public:
  explicit VoxelPool(ConversionHost& host) : host_(host) {}
  ~VoxelPool() { clear(); }
  VoxelPool(const VoxelPool&) = delete;
  VoxelPool& operator=(const VoxelPool&) = delete;

  Voxel* take() {
    if (free_ != nullptr) {
      Voxel* v = free_;
      free_ = v->next;
      return v;
    }
    if (used_ == BlockVoxels || blocks_.empty()) {
      if (!grow()) return nullptr;
    }
    return &blocks_.back()[used_++];
  }
  void give(Voxel* v) {
    v->flags = 0;
    v->next = free_;
    free_ = v;
  }
  void clear() {
    for (Voxel* block : blocks_) {
      void* p = block;
      host_.Free(&p);
    }
    blocks_.clear();
    free_ = nullptr;
    used_ = 0;
  }
  // Visits every voxel slot taken from the blocks, in memory order (freed
  // ones too; their flags are 0).
  template <class Visit>
  void forEachSlot(Visit&& visit) const {
    for (size_t b = 0; b < blocks_.size(); ++b) {
      const size_t count = b + 1 == blocks_.size() ? used_ : BlockVoxels;
      Voxel* block = blocks_[b];
      for (size_t i = 0; i < count; ++i) visit(block[i]);
    }
  }

 private:
  static constexpr size_t BlockVoxels = 8192;
  bool grow() {
    try {
      blocks_.reserve(blocks_.size() + 1);
    } catch (const std::bad_alloc&) {
      return false;
    }
    void* block = host_.Allocate(BlockVoxels * sizeof(Voxel));
    if (block == nullptr) return false;
    blocks_.push_back(static_cast<Voxel*>(block));
    used_ = 0;
    return true;
  }
  ConversionHost& host_;
  std::vector<Voxel*> blocks_;
  size_t used_ = 0;
  Voxel* free_ = nullptr;
};

// ColourSamples in blocks taken through the host, addressed by index (1 is
// the first; 0 means none).
class ColourPool {
 public:
  explicit ColourPool(ConversionHost& host) : host_(host) {}
  ~ColourPool() { clear(); }
  ColourPool(const ColourPool&) = delete;
  ColourPool& operator=(const ColourPool&) = delete;

  uint32_t take() {
    if (next_ % BlockSamples == 0 && next_ / BlockSamples == blocks_.size()) {
      try {
        blocks_.reserve(blocks_.size() + 1);
      } catch (const std::bad_alloc&) {
        return 0;
      }
      void* block = host_.Allocate(BlockSamples * sizeof(ColourSample));
      if (block == nullptr) return 0;
      blocks_.push_back(static_cast<ColourSample*>(block));
    }
    return uint32_t(++next_);
  }
  ColourSample& at(uint32_t index) const {
    const size_t i = index - 1;
    return blocks_[i / BlockSamples][i % BlockSamples];
  }
  void clear() {
    for (ColourSample* block : blocks_) {
      void* p = block;
      host_.Free(&p);
    }
    blocks_.clear();
    next_ = 0;
  }

 private:
  static constexpr size_t BlockSamples = 4096;
  ConversionHost& host_;
  std::vector<ColourSample*> blocks_;
  size_t next_ = 0;
};

// A box of grid indices, inclusive on every side.
struct GridBox {
  int16_t min[3];
  int16_t max[3];
};

// A chain while it is built: its voxels linked through Voxel::next.
struct Chain {
  int32_t count = 0;
  Voxel* first = nullptr;
  Voxel* last = nullptr;
};

struct ZorvelGenerator {
  ZorvelGenerator(ConversionHost& h, MeshObject& m) : host(h), mesh(m), pool(h), colours(h) {}

  ConversionHost& host;
  MeshObject& mesh;
  PartLayout layout = PartLayout::Plugin;

  float gridStep = 1.0f;
  float scale = 1.0f;  // 1 / gridStep
  int smoothing = 0;
  int32_t voxelCount = 0;

  // The pose: the voxelization matrix, the centre of the posed box and the
  // grid dimensions (odd, with a margin of empty cells on every side).
  float matrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  float centre[3] = {0, 0, 0};
  int dims[3] = {0, 0, 0};  // X, Y, Z

  // VoxelGrid: X * Y list heads, row y at y * X.
  HostArray<Voxel*> cells;
  VoxelPool pool;
  ColourPool colours;
  Voxel*& cell(int x, int y) { return cells[size_t(y) * size_t(dims[0]) + size_t(x)]; }

  // Flood slices: current and previous, X * Y bytes each, with their z keys.
  HostArray<uint8_t> slices[2];
  int sliceKey[2] = {-1, -1};

  // Division box and the chains, newest first once built.
  GridBox box = {};
  int32_t chainProgress = 0;
  std::vector<Chain> chains;  // in building order; the part lists them newest first

  // Smoothing weights by squared distance.
  float weights[75] = {};
  int weightCount = 0;
  int radius = 0;

  // Preview colours of the columns (shade 21), filled before slicing.
  uint8_t columnPreview[256][3] = {};

  // The part built by the last stage.
  std::vector<uint8_t> part;

  bool stopped() const { return host.stopFlag.load(std::memory_order_relaxed) != 0; }
  std::string caption(const char* stage) const;
  void report(const char* message) const { host.ReportError(message); }

  // Unlinks and frees every voxel (chains included).
  void freeVoxels();
};

// The stages, in pipeline order.
int ChoosePose(ZorvelGenerator& g);           // matrix and posed vertices, box centre
int ChooseGrid(ZorvelGenerator& g);           // dimensions
int ComputeFaceNormals(ZorvelGenerator& g);
int TransformToGrid(ZorvelGenerator& g);      // "Transforming"
int AllocateVoxelGrid(ZorvelGenerator& g);
int SliceTriangles(ZorvelGenerator& g);       // "Zorvel generation"
int AllocateSlices(ZorvelGenerator& g);
void MarkOccupied(ZorvelGenerator& g);
int Flood(ZorvelGenerator& g);                // "Flooding up", "Flooding down"
int RemoveInvisible(ZorvelGenerator& g);
void FreeSlices(ZorvelGenerator& g);
int ThinVoxels(ZorvelGenerator& g);
int SmoothNormals(ZorvelGenerator& g);        // "Smoothing"
void BuildWeightTable(ZorvelGenerator& g);    // the smoothing weights of g.smoothing
int32_t CountVoxels(ZorvelGenerator& g);
int ChooseDivisionBox(ZorvelGenerator& g);
int BuildObject(ZorvelGenerator& g);          // "Creating object"

// R: rounds half away from zero, as the grid does everywhere.
inline int RoundHalfAway(float v) { return v >= 0.0f ? int(v + 0.5f) : int(v - 0.5f); }

// The preview colour of a voxel: its column's shade 21 for a flat colour,
// else its mean colour truncated to bytes.
void VoxelPreviewColour(const ZorvelGenerator& g, const Voxel& v, uint8_t rgb[3]);
// Truncates a colour channel to a byte (above 255 gives 255, below 0 gives 0).
inline uint8_t ChannelByte(float c) {
  if (c > 255.0f) return 255;
  if (!(c > 0.0f)) return 0;
  return uint8_t(c);
}

}  // namespace voxelize
