// Chain building ("Creating object"): the voxels inside the division box are
// strung into chains in which each voxel is one of the 26 neighbours of the
// one before it (grown forward, then backward, then bridged), and the chains
// are encoded as one part, the chain built last first.
#include <algorithm>
#include <cmath>
#include <new>

#include "palette/palette_tables.h"
#include "voxelize/generator.h"
#include "voxelize/messages.h"
#include "zvlfile/voxpart.h"

namespace voxelize {

namespace {

// Diagonal limit of a chain's box, squared: a chain's box stays below 254
// cells across so that its coordinates fit the chain encoding.
constexpr int MaxDiagonalSquared = 254 * 254;

// Unlinks and returns the first voxel with bit 6 in the cells x0..x1, y0..y1
// (rows outer, columns inner, each list from its front) whose z lies in
// zMin..zMax; null when there is none.
Voxel* TakeFrom(ZorvelGenerator& g, int x0, int x1, int y0, int y1, int zMin, int zMax) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      for (Voxel** link = &g.cell(x, y); *link != nullptr; link = &(*link)->next) {
        Voxel* v = *link;
        if ((v->flags & VoxelMarked) && v->z >= zMin && v->z <= zMax) {
          *link = v->next;
          v->next = nullptr;
          v->flags &= uint8_t(~VoxelInGrid);
          return v;
        }
      }
  return nullptr;
}

Voxel* TakeFirstVoxel(ZorvelGenerator& g) {
  return TakeFrom(g, g.box.min[0], g.box.max[0], g.box.min[1], g.box.max[1], INT16_MIN, INT16_MAX);
}

Voxel* TakeNeighbour(ZorvelGenerator& g, const Voxel& v) {
  const int X = g.dims[0], Y = g.dims[1];
  return TakeFrom(g, std::max(v.x - 1, 0), std::min(v.x + 1, X - 1), std::max(v.y - 1, 0), std::min(v.y + 1, Y - 1),
                  v.z - 1, v.z + 1);
}

// A voxel that is a neighbour of both a and b.
Voxel* TakeBridge(ZorvelGenerator& g, const Voxel& a, const Voxel& b) {
  const int X = g.dims[0], Y = g.dims[1];
  const int x0 = a.x == b.x ? a.x - 1 : std::min(a.x, b.x), x1 = a.x == b.x ? a.x + 1 : std::max(a.x, b.x);
  const int y0 = a.y == b.y ? a.y - 1 : std::min(a.y, b.y), y1 = a.y == b.y ? a.y + 1 : std::max(a.y, b.y);
  const int zMin = std::max(a.z, b.z) - 1, zMax = std::min(a.z, b.z) + 1;
  return TakeFrom(g, std::max(x0, 0), std::min(x1, X - 1), std::max(y0, 0), std::min(y1, Y - 1), zMin, zMax);
}

// Counts and shows a voxel that joined the chain.
int Joined(ZorvelGenerator& g, const Voxel& v) {
  if (g.host.StepProgress(++g.chainProgress) != 0 || g.stopped()) return -1;
  uint8_t rgb[3];
  VoxelPreviewColour(g, v, rgb);
  return g.host.PlotPoint(v.x - (g.dims[0] >> 1), v.z - (g.dims[2] >> 1), rgb) != 0 ? -1 : 0;
}

int BuildChain(ZorvelGenerator& g, Chain& chain) {
  Voxel* first = TakeFirstVoxel(g);
  if (first == nullptr) {
    g.report(msg::FirstVoxel);
    return -1;
  }
  chain.first = chain.last = first;
  chain.count = 1;
  uint8_t rgb[3];
  VoxelPreviewColour(g, *first, rgb);
  if (g.host.PlotPoint(first->x - (g.dims[0] >> 1), first->z - (g.dims[2] >> 1), rgb) != 0) return -1;

  // Forward from the last voxel.
  while (Voxel* v = TakeNeighbour(g, *chain.last)) {
    chain.last->next = v;
    chain.last = v;
    ++chain.count;
    if (Joined(g, *v) != 0) return -1;
  }
  // Backward from the first.
  while (Voxel* v = TakeNeighbour(g, *chain.first)) {
    v->next = chain.first;
    chain.first = v;
    ++chain.count;
    if (Joined(g, *v) != 0) return -1;
  }
  // Bridging: a voxel beside both voxels of a pair goes between them, and
  // the pair becomes (a, bridge); without one the walk moves on.
  for (Voxel* a = chain.first; a->next != nullptr;) {
    Voxel* b = a->next;
    if (Voxel* v = TakeBridge(g, *a, *b)) {
      v->next = b;
      a->next = v;
      ++chain.count;
      if (Joined(g, *v) != 0) return -1;
    } else {
      a = b;
    }
  }
  return 0;
}

bool ChainUnbroken(const Chain& chain) {
  for (const Voxel* v = chain.first; v->next != nullptr; v = v->next) {
    const Voxel* w = v->next;
    if (std::abs(w->x - v->x) > 1 || std::abs(w->y - v->y) > 1 || std::abs(w->z - v->z) > 1) return false;
  }
  return true;
}

// EncodeMove's checks and values for one voxel after `previous`.
int EncodePixel(ZorvelGenerator& g, int px, int py, int pz, const Voxel& v, VoxPixel& pixel) {
  const int dx = v.x - px, dy = v.y - py, dz = v.z - pz;
  if (dx < -1 || dx > 1) {
    g.report(msg::IllegalDx);
    return -1;
  }
  if (dy < -1 || dy > 1) {
    g.report(msg::IllegalDy);
    return -1;
  }
  if (dz < -1 || dz > 1) {
    g.report(msg::IllegalDz);
    return -1;
  }
  if (dx == 0 && dy == 0 && dz == 0) {
    g.report(msg::MoveToItself);
    return -1;
  }
  pixel.x = int16_t(v.x - (g.dims[0] >> 1));
  pixel.y = int16_t(v.y - (g.dims[1] >> 1));
  pixel.z = int16_t(v.z - (g.dims[2] >> 1));
  pixel.normal = QuantizeNormal(v.normal[0], v.normal[1], v.normal[2]);
  if (v.flags & VoxelFlat) {
    pixel.color = v.flatIndex;
  } else {
    const ColourSample& c = g.colours.at(v.colour);
    const uint8_t rgb[3] = {ChannelByte(c.rgb[0]), ChannelByte(c.rgb[1]), ChannelByte(c.rgb[2])};
    const int column = ColourIndex(g.host.Palette(), rgb, -1);
    pixel.color = uint8_t(column >= 0 && column < 256 ? column : 0);
  }
  return 0;
}

const char* NoRoomFor(size_t chainCount) {
  return chainCount == 0 ? msg::NewEmpty : chainCount == 1 ? msg::NewSimple : msg::NewComplex;
}

// Writes the part: the chains newest first, each from its start point.
int WritePart(ZorvelGenerator& g) {
  const size_t chainCount = g.chains.size();
  std::vector<VoxFixPoint> fixPoints;
  try {
    std::vector<std::vector<VoxPixel>> pixels(chainCount);
    for (size_t c = 0; c < chainCount; ++c) {
      const Chain& chain = g.chains[chainCount - 1 - c];
      std::vector<VoxPixel>& out = pixels[c];
      out.resize(size_t(chain.count));
      int px = chain.first->x + 1, py = chain.first->y, pz = chain.first->z;
      size_t i = 0;
      for (const Voxel* v = chain.first; v != nullptr; v = v->next, ++i) {
        if (g.stopped()) return -1;
        if (EncodePixel(g, px, py, pz, *v, out[i]) != 0) return -1;
        px = v->x;
        py = v->y;
        pz = v->z;
      }
    }
    // The voxels are encoded: give their memory back before the part is made.
    g.freeVoxels();
    if (g.layout == PartLayout::Plugin)
      for (const auto& f : g.mesh.fixPoints) fixPoints.push_back({f[0], f[1], f[2]});
    const VoxPartForm form = g.layout == PartLayout::Plugin ? VoxPartForm::WithZeroWord : VoxPartForm::Compact;
    if (!VoxBuildPart(pixels, g.gridStep, form, fixPoints, g.part)) {
      g.report(NoRoomFor(chainCount));
      return -1;
    }
  } catch (const std::bad_alloc&) {
    g.part.clear();
    g.report(NoRoomFor(chainCount));
    return -1;
  }
  return 0;
}

}  // namespace

// Marks the voxels still in the grid and finds the box of the marked ones;
// while its diagonal is 254 or more, halves it and marks again only the
// voxels inside. The voxels are visited in the pool's memory order, which
// gives the same marks and boxes as walking the cell lists.
int ChooseDivisionBox(ZorvelGenerator& g) {
  struct Bounds {
    int min[3] = {0x7FFF, 0x7FFF, 0x7FFF}, max[3] = {-1, -1, -1};
    void add(const Voxel& v) {
      const int c[3] = {v.x, v.y, v.z};
      for (int a = 0; a < 3; ++a) {
        if (c[a] < min[a]) min[a] = c[a];
        if (c[a] > max[a]) max[a] = c[a];
      }
    }
  };
  Bounds marked;
  g.pool.forEachSlot([&marked](Voxel& v) {
    if (!(v.flags & VoxelInGrid)) return;
    v.flags |= VoxelMarked;
    marked.add(v);
  });
  while (!g.stopped()) {
    if (marked.max[0] < 0) {
      g.report(msg::CantDivide);
      return -1;
    }
    for (int a = 0; a < 3; ++a) {
      g.box.min[a] = int16_t(marked.min[a]);
      g.box.max[a] = int16_t(marked.max[a]);
    }
    const int sx = marked.max[0] - marked.min[0] + 1, sy = marked.max[1] - marked.min[1] + 1,
              sz = marked.max[2] - marked.min[2] + 1;
    if (sx * sx + sy * sy + sz * sz < MaxDiagonalSquared) return 0;
    // Halve the longest axis (ties to y over x, to z over both), keeping the
    // lower half.
    int axis;
    if (sy < sx)
      axis = sz < sx ? 0 : 2;
    else
      axis = sz < sy ? 1 : 2;
    g.box.max[axis] = int16_t((g.box.min[axis] + g.box.max[axis]) >> 1);
    const GridBox box = g.box;
    marked = Bounds{};
    g.pool.forEachSlot([&marked, &box](Voxel& v) {
      if (!(v.flags & VoxelInGrid)) return;
      const bool inside = v.x >= box.min[0] && v.x <= box.max[0] && v.y >= box.min[1] && v.y <= box.max[1] &&
                          v.z >= box.min[2] && v.z <= box.max[2];
      if (inside) {
        v.flags |= VoxelMarked;
        marked.add(v);
      } else {
        v.flags &= uint8_t(~VoxelMarked);
      }
    });
  }
  return -1;
}

int BuildObject(ZorvelGenerator& g) {
  ConversionHost& host = g.host;
  if (host.ClearPreview() != 0) return -1;
  g.chainProgress = 0;
  if (host.BeginProgress(g.voxelCount, g.caption(msg::CreatingObject).c_str()) != 0) return -1;
  auto fail = [&host] {
    host.EndProgress();
    return -1;
  };

  int32_t remaining = g.voxelCount;
  while (remaining > 0) {
    if (g.stopped()) return fail();
    if (ChooseDivisionBox(g) != 0) return fail();
    if (g.layout == PartLayout::Authoring && g.chains.size() == size_t(kAuthoringMaxChains)) {
      g.report(msg::TooManyChains);
      return fail();
    }
    try {
      g.chains.emplace_back();
    } catch (const std::bad_alloc&) {
      return fail();
    }
    Chain& chain = g.chains.back();
    const int result = BuildChain(g, chain);
    if (chain.first == nullptr) g.chains.pop_back();
    if (result != 0) return fail();
    remaining -= chain.count;
  }
  for (const Chain& chain : g.chains)
    if (!ChainUnbroken(chain)) {
      g.report(msg::BreakInChain);
      return fail();
    }
  if (WritePart(g) != 0) return fail();
  return host.EndProgress() != 0 ? -1 : 0;
}

}  // namespace voxelize
