// Smoothing of normals: every voxel's normal becomes the weighted sum of the
// unit normals of the voxels around it, weights falling with the squared
// distance as e^(-d / c), c = (s / 2)^2, cut where they drop below 0.01.
#include <cmath>

#include "voxelize/generator.h"
#include "voxelize/messages.h"

namespace voxelize {

namespace {

void Normalise(float n[3]) {
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (length > 0.0f) {
    n[0] /= length;
    n[1] /= length;
    n[2] /= length;
  }
}

}  // namespace

void BuildWeightTable(ZorvelGenerator& g) {
  const float half = float(g.smoothing) / 2.0f;
  float c = half * half;
  if (c == 0.0f) c = 1e-6f;
  g.weightCount = 0;
  for (int i = 0; i < 75; ++i) {
    const float w = std::exp(-float(i) / c);
    if (w < 0.01f) break;
    g.weights[i] = w;
    g.weightCount = i + 1;
  }
  g.radius = int(std::sqrt(float(g.weightCount) / 3.0f));
  if (g.radius == 0 && g.smoothing != 0) g.radius = 1;
}

int SmoothNormals(ZorvelGenerator& g) {
  ConversionHost& host = g.host;
  BuildWeightTable(g);
  const int32_t count = CountVoxels(g);
  HostArray<float> sums;
  if (!sums.allocate(host, size_t(count) * 3)) {
    g.report(msg::NormalArray);
    return -1;
  }
  if (host.BeginProgress(count, g.caption(msg::Smoothing).c_str()) != 0) return -1;

  for (size_t i = 0; i < g.cells.size(); ++i)
    for (Voxel* v = g.cells[i]; v != nullptr; v = v->next) Normalise(v->normal);

  const int X = g.dims[0], Y = g.dims[1], r = g.radius;
  const int entries = g.weightCount;
  int k = 0;
  for (int y = 0; y < Y; ++y)
    for (int x = 0; x < X; ++x)
      for (const Voxel* p = g.cell(x, y); p != nullptr; p = p->next, ++k) {
        float* sum = &sums[size_t(k) * 3];
        const int y0 = y - r < 0 ? 0 : y - r, y1 = y + r >= Y ? Y - 1 : y + r;
        const int x0 = x - r < 0 ? 0 : x - r, x1 = x + r >= X ? X - 1 : x + r;
        for (int qy = y0; qy <= y1; ++qy)
          for (int qx = x0; qx <= x1; ++qx)
            for (const Voxel* q = g.cell(qx, qy); q != nullptr; q = q->next) {
              const int dz = p->z - q->z;
              if (dz > r || dz < -r) continue;
              const int d = (x - qx) * (x - qx) + (y - qy) * (y - qy) + dz * dz;
              if (d >= entries) continue;
              const float w = g.weights[d];
              sum[0] += w * q->normal[0];
              sum[1] += w * q->normal[1];
              sum[2] += w * q->normal[2];
            }
        if (host.StepProgress(k) != 0 || g.stopped()) {
          host.EndProgress();
          return -1;
        }
      }

  k = 0;
  for (int y = 0; y < Y; ++y)
    for (int x = 0; x < X; ++x)
      for (Voxel* v = g.cell(x, y); v != nullptr; v = v->next, ++k) {
        float* sum = &sums[size_t(k) * 3];
        Normalise(sum);
        v->normal[0] = sum[0];
        v->normal[1] = sum[1];
        v->normal[2] = sum[2];
      }
  return host.EndProgress() != 0 ? -1 : 0;
}

}  // namespace voxelize
