// Flooding: the empty cells of the grid are flooded from outside, slice by
// slice along z, once upward and once downward, over two byte planes. A voxel
// the flood touches becomes visible; the flood never passes through one.
// Voxels never reached are deleted afterwards.
#include <cstring>
#include <utility>

#include "voxelize/generator.h"
#include "voxelize/messages.h"

namespace voxelize {

namespace {

// A slice byte: 0 = empty and not reached, Outside = empty and reached, any
// other value the flags of the voxel in the cell (bit 1 always set, bit 7
// once reached).
constexpr uint8_t Outside = 0x80;

// The cells of the grid's voxels ordered by z (one entry per voxel), so that
// a slice loads and writes back without walking every cell list of the grid.
struct ZBuckets {
  HostArray<uint32_t> cells;  // y * X + x
  HostArray<uint32_t> start;  // Z + 1 offsets into cells
};

// The voxel of cell i with this z (present by construction).
Voxel* VoxelAt(const ZorvelGenerator& g, uint32_t cell, int z) {
  Voxel* v = g.cells[cell];
  while (v->z != z) v = v->next;
  return v;
}

int BuildBuckets(ZorvelGenerator& g, ZBuckets& b) {
  const int Z = g.dims[2];
  if (!b.cells.allocate(g.host, size_t(g.voxelCount)) || !b.start.allocate(g.host, size_t(Z) + 1)) return -1;
  const size_t cellCount = g.cells.size();
  for (size_t i = 0; i < cellCount; ++i)
    for (Voxel* v = g.cells[i]; v != nullptr; v = v->next) ++b.start[size_t(v->z) + 1];
  for (int z = 0; z < Z; ++z) b.start[size_t(z) + 1] += b.start[size_t(z)];
  // Fill with a moving cursor per z, then restore the starts.
  for (size_t i = 0; i < cellCount; ++i)
    for (Voxel* v = g.cells[i]; v != nullptr; v = v->next) b.cells[b.start[size_t(v->z)]++] = uint32_t(i);
  for (int z = Z; z > 0; --z) b.start[size_t(z)] = b.start[size_t(z) - 1];
  b.start[0] = 0;
  return 0;
}

class SliceFlood {
 public:
  SliceFlood(ZorvelGenerator& g, ZBuckets& buckets, HostArray<uint32_t>& stack)
      : g_(g), buckets_(buckets), stack_(stack), X_(g.dims[0]), Y_(g.dims[1]) {}

  uint8_t* current() const { return g_.slices[0].data(); }
  uint8_t* previous() const { return g_.slices[1].data(); }

  void load(int z) {
    uint8_t* cur = current();
    std::memset(cur, 0, size_t(X_) * size_t(Y_));
    for (uint32_t i = buckets_.start[size_t(z)]; i < buckets_.start[size_t(z) + 1]; ++i) {
      const uint32_t cell = buckets_.cells[i];
      cur[cell] = VoxelAt(g_, cell, z)->flags;
    }
    g_.sliceKey[0] = z;
  }

  // Floods the current slice to its fixed point: an unreached cell is reached
  // when a 4-neighbour in this slice, or the same cell of the previous slice,
  // is reached empty space. Reached empty cells pass the flood on; voxel
  // cells are marked and stop it. Cells are settled in stack order, which
  // reaches the same cells as repeated raster sweeps.
  int flood() {
    uint8_t* cur = current();
    const uint8_t* prev = previous();
    size_t top = 0;
    auto reach = [&](size_t i) {
      if (cur[i] & Outside) return;
      if (cur[i] == 0) {
        cur[i] = Outside;
        stack_[top++] = uint32_t(i);
      } else {
        cur[i] |= Outside;
      }
    };
    const size_t X = size_t(X_), Y = size_t(Y_);
    // The corners lie in the margin and are always outside.
    const size_t corners[4] = {0, X - 1, (Y - 1) * X, (Y - 1) * X + X - 1};
    for (size_t c : corners) {
      if (cur[c] == Outside) continue;
      cur[c] = Outside;
      stack_[top++] = uint32_t(c);
    }
    for (size_t y = 0; y < Y; ++y) {
      if (g_.stopped()) return -1;
      const size_t row = y * X;
      for (size_t x = 0; x < X; ++x)
        if (prev[row + x] == Outside) reach(row + x);
    }
    size_t settled = 0;
    while (top > 0) {
      const size_t i = stack_[--top];
      if ((++settled & 0xFFFF) == 0 && g_.stopped()) return -1;
      const size_t x = i % X;
      if (x > 0) reach(i - 1);
      if (x + 1 < X) reach(i + 1);
      if (i >= X) reach(i - X);
      if (i + X < X * Y) reach(i + X);
    }
    return 0;
  }

  // The slice's marks go back into its voxels, which the preview shows.
  int writeBack(int z) {
    const uint8_t* cur = current();
    const int hx = g_.dims[0] >> 1, hz = g_.dims[2] >> 1;
    for (uint32_t i = buckets_.start[size_t(z)]; i < buckets_.start[size_t(z) + 1]; ++i) {
      const uint32_t cell = buckets_.cells[i];
      Voxel* v = VoxelAt(g_, cell, z);
      v->flags |= cur[cell];
      uint8_t rgb[3];
      VoxelPreviewColour(g_, *v, rgb);
      if (g_.host.PlotPoint(v->x - hx, z - hz, rgb) != 0) return -1;
    }
    return 0;
  }

  void swap() {
    g_.slices[0].swapWith(g_.slices[1]);
    std::swap(g_.sliceKey[0], g_.sliceKey[1]);
  }

  int pass(int z) {
    load(z);
    if (flood() != 0 || writeBack(z) != 0) return -1;
    swap();
    return 0;
  }

 private:
  ZorvelGenerator& g_;
  ZBuckets& buckets_;
  HostArray<uint32_t>& stack_;
  const int X_, Y_;
};

}  // namespace

int AllocateSlices(ZorvelGenerator& g) {
  const size_t bytes = size_t(g.dims[0]) * size_t(g.dims[1]);
  if (!g.slices[0].allocate(g.host, bytes) || !g.slices[1].allocate(g.host, bytes)) {
    FreeSlices(g);
    g.report(msg::Slices);
    return -1;
  }
  return 0;
}

void MarkOccupied(ZorvelGenerator& g) {
  for (size_t i = 0; i < g.cells.size(); ++i)
    for (Voxel* v = g.cells[i]; v != nullptr; v = v->next) v->flags = uint8_t((v->flags | VoxelOccupied) & 0x7F);
}

int Flood(ZorvelGenerator& g) {
  ConversionHost& host = g.host;
  const int Z = g.dims[2];
  ZBuckets buckets;
  HostArray<uint32_t> stack;
  if (BuildBuckets(g, buckets) != 0 || !stack.allocate(host, size_t(g.dims[0]) * size_t(g.dims[1]))) {
    g.report(msg::Slices);
    return -1;
  }
  SliceFlood slices(g, buckets, stack);

  // Upward, from a fully outside slice below slice 1 (slice 0 is margin).
  if (host.ClearPreview() != 0) return -1;
  if (host.BeginProgress(Z, g.caption(msg::FloodingUp).c_str()) != 0) return -1;
  std::memset(slices.previous(), Outside, g.slices[1].size());
  g.sliceKey[1] = -1;
  for (int z = 1; z < Z; ++z) {
    if (slices.pass(z) != 0 || host.StepProgress(z) != 0 || g.stopped()) {
      host.EndProgress();
      return -1;
    }
  }
  if (host.EndProgress() != 0) return -1;

  // Downward, from the last slice of the upward pass.
  if (host.ClearPreview() != 0) return -1;
  if (host.BeginProgress(Z - 1, g.caption(msg::FloodingDown).c_str()) != 0) return -1;
  for (int z = Z - 2; z >= 0; --z) {
    if (slices.pass(z) != 0 || host.StepProgress(Z - z - 1) != 0 || g.stopped()) {
      host.EndProgress();
      return -1;
    }
  }
  return host.EndProgress() != 0 ? -1 : 0;
}

int RemoveInvisible(ZorvelGenerator& g) {
  for (size_t i = 0; i < g.cells.size(); ++i) {
    Voxel** link = &g.cells[i];
    while (Voxel* v = *link) {
      if (g.stopped()) return -1;
      if (v->flags & VoxelVisible) {
        link = &v->next;
      } else {
        *link = v->next;
        g.pool.give(v);
        --g.voxelCount;
      }
    }
  }
  return 0;
}

void FreeSlices(ZorvelGenerator& g) {
  g.slices[0].reset();
  g.slices[1].reset();
}

}  // namespace voxelize
