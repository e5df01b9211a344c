// Thinning: a voxel with a neighbour of the same row on each of the three
// axes lies inside a thick part of the shell or at an inner corner, and is
// deleted. Deletions count at once for the voxels tested after it.
#include "voxelize/generator.h"

namespace voxelize {

namespace {

bool HoldsZ(const Voxel* list, int z) {
  for (; list != nullptr; list = list->next)
    if (list->z == z) return true;
  return false;
}

}  // namespace

int ThinVoxels(ZorvelGenerator& g) {
  const int X = g.dims[0], Y = g.dims[1];
  for (int y = 0; y < Y; ++y)
    for (int x = 0; x < X; ++x) {
      Voxel** link = &g.cell(x, y);
      while (Voxel* v = *link) {
        if (g.stopped()) return -1;
        const int z = v->z;
        const bool mx = (x > 0 && HoldsZ(g.cell(x - 1, y), z)) || (x + 1 < X && HoldsZ(g.cell(x + 1, y), z));
        const bool my = (y > 0 && HoldsZ(g.cell(x, y - 1), z)) || (y + 1 < Y && HoldsZ(g.cell(x, y + 1), z));
        bool mz = false;
        for (const Voxel* w = g.cell(x, y); w != nullptr && !mz; w = w->next) mz = w->z == z - 1 || w->z == z + 1;
        if (mx && my && mz) {
          *link = v->next;
          g.pool.give(v);
          --g.voxelCount;
        } else {
          link = &v->next;
        }
      }
    }
  return 0;
}

int32_t CountVoxels(ZorvelGenerator& g) {
  int32_t count = 0;
  for (size_t i = 0; i < g.cells.size(); ++i)
    for (const Voxel* v = g.cells[i]; v != nullptr; v = v->next) ++count;
  g.voxelCount = count;
  return count;
}

}  // namespace voxelize
