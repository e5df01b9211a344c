// LightWave motion channels and matrices.
#include "import/lws_motion.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kDegrees = 0.017453292519943295;

// Hermite segment between keys k0 and k1 = k0 + 1 for one channel.
double Hermite(const std::vector<LwsKey>& keys, size_t k0, int channel, double u, int frameSpan) {
  const size_t k1 = k0 + 1;
  const LwsKey& a0 = keys[k0];
  const LwsKey& a1 = keys[k1];
  const double p0 = a0.values[size_t(channel)], p1 = a1.values[size_t(channel)];
  const double span = double(a1.frame) - double(a0.frame);
  const double delta = p1 - p0;
  const double a = (1 + a0.bias) * (1 + a0.continuity) * (1 - a0.tension);
  const double b = (1 - a0.bias) * (1 - a0.continuity) * (1 - a0.tension);
  const double c = (1 + a1.bias) * (1 - a1.continuity) * (1 - a1.tension);
  const double d = (1 - a1.bias) * (1 + a1.continuity) * (1 - a1.tension);
  // The neighbour keys exist only inside the list; a key at frame 0 counts
  // as the first one, a key at the frame span as the last one.
  double t0 = (a + b) * 0.5 * delta;
  if (a0.frame != 0 && k0 > 0) {
    const double before = double(a1.frame) - double(keys[k0 - 1].frame);
    if (before != 0) t0 = (b * delta + (p0 - keys[k0 - 1].values[size_t(channel)]) * a) * span / before;
  }
  double t1 = (c + d) * 0.5 * delta;
  if (a1.frame != frameSpan && k1 + 1 < keys.size()) {
    const double after = double(keys[k1 + 1].frame) - double(a0.frame);
    if (after != 0) t1 = ((keys[k1 + 1].values[size_t(channel)] - p1) * d + c * delta) * span / after;
  }
  const double u2 = u * u, u3 = u2 * u;
  const double h2 = 3 * u2 - 2 * u3;
  const double h1 = 1 - h2;
  const double h3 = u3 - 2 * u2 + u;
  const double h4 = u3 - u2;
  return p0 * h1 + p1 * h2 + t0 * h3 + t1 * h4;
}

LwsMatrix Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

LwsMatrix Translation(double x, double y, double z) {
  LwsMatrix m = Identity();
  m[3] = x;
  m[7] = y;
  m[11] = z;
  return m;
}

}  // namespace

std::array<double, 9> EvaluateLwsChannels(const std::vector<LwsKey>& keys, double t, int frameSpan) {
  if (keys.empty()) return {0, 0, 0, 0, 0, 0, 1, 1, 1};
  if (keys.size() == 1 || t >= keys.back().frame) return keys.back().values;
  size_t k1 = 1;
  while (k1 + 1 < keys.size() && keys[k1].frame < t) ++k1;
  const size_t k0 = k1 - 1;
  const double span = double(keys[k1].frame) - double(keys[k0].frame);
  if (span == 0) return keys[k1].values;
  const double u = (t - keys[k0].frame) / span;
  std::array<double, 9> values;
  for (int c = 0; c < 9; ++c) {
    if (keys[k1].linear)
      values[size_t(c)] = keys[k0].values[size_t(c)] + u * (keys[k1].values[size_t(c)] - keys[k0].values[size_t(c)]);
    else
      values[size_t(c)] = Hermite(keys, k0, c, u, frameSpan);
  }
  return values;
}

LwsMatrix LwsMultiply(const LwsMatrix& a, const LwsMatrix& b) {
  LwsMatrix r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[size_t(i * 4 + k)] * b[size_t(k * 4 + j)];
      r[size_t(i * 4 + j)] = sum;
    }
  return r;
}

std::array<double, 3> LwsTransformPoint(const LwsMatrix& m, const std::array<double, 3>& p) {
  return {m[0] * p[0] + m[1] * p[1] + m[2] * p[2] + m[3], m[4] * p[0] + m[5] * p[1] + m[6] * p[2] + m[7],
          m[8] * p[0] + m[9] * p[1] + m[10] * p[2] + m[11]};
}

LwsMatrix LwsLocalMatrix(const std::array<double, 9>& v, const std::array<double, 3>& pivot) {
  const double h = v[3] * kDegrees, p = v[4] * kDegrees, b = v[5] * kDegrees;
  LwsMatrix ry = Identity(), rx = Identity(), rz = Identity(), s = Identity();
  ry[0] = std::cos(h), ry[2] = std::sin(h), ry[8] = -std::sin(h), ry[10] = std::cos(h);
  rx[5] = std::cos(p), rx[6] = -std::sin(p), rx[9] = std::sin(p), rx[10] = std::cos(p);
  rz[0] = std::cos(b), rz[1] = -std::sin(b), rz[4] = std::sin(b), rz[5] = std::cos(b);
  s[0] = v[6], s[5] = v[7], s[10] = v[8];
  LwsMatrix m = LwsMultiply(Translation(v[0], v[1], v[2]), rz);
  m = LwsMultiply(m, rx);
  m = LwsMultiply(m, ry);
  m = LwsMultiply(m, s);
  return LwsMultiply(m, Translation(-pivot[0], -pivot[1], -pivot[2]));
}

long long LwsFrameCount(const LwsScene& scene) { return scene.lastFrame >= 0 ? (long long)scene.lastFrame + 1 : 0; }

int LwsFrameSpan(const LwsScene& scene) {
  const long long span = (long long)scene.lastFrame - scene.firstFrame + 1;
  return int(std::clamp<long long>(span, INT_MIN, INT_MAX));
}

std::vector<std::vector<LwsMatrix>> LwsWorldMatrices(const LwsScene& scene, int frameCount) {
  const size_t count = scene.objects.size();
  std::vector<std::vector<LwsMatrix>> world(count);
  const int span = LwsFrameSpan(scene);
  std::vector<size_t> chain;
  for (size_t i = 0; i < count; ++i) {
    // The object and its ancestors not yet computed, nearest first; they are
    // computed from the top down so every parent is ready before its child.
    chain.clear();
    for (int at = int(i); at >= 0 && world[size_t(at)].empty(); at = scene.objects[size_t(at)].parent)
      chain.push_back(size_t(at));
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      const LwsObject& object = scene.objects[*it];
      std::vector<LwsMatrix>& frames = world[*it];
      frames.resize(size_t(frameCount));
      for (int f = 0; f < frameCount; ++f) {
        const LwsMatrix local = LwsLocalMatrix(EvaluateLwsChannels(object.keys, f, span), object.pivot);
        frames[size_t(f)] = object.parent >= 0 ? LwsMultiply(world[size_t(object.parent)][size_t(f)], local) : local;
      }
    }
  }
  return world;
}

std::string LwsDebugDump(const LwsScene& scene, const std::vector<std::vector<LwsMatrix>>& world, int frameCount) {
  std::string text;
  char line[1100];  // three %f of the largest doubles fit
  for (int f = 0; f < frameCount; ++f) {
    std::snprintf(line, sizeof line, "------------------ Frame #%d\n", f);
    text += line;
    for (size_t i = 0; i < scene.objects.size(); ++i) {
      const LwsMatrix& m = world[i][size_t(f)];
      text += "Object " + scene.objects[i].name + "\nRotation:\n";
      for (int r = 0; r < 3; ++r) {
        std::snprintf(line, sizeof line, "%f %f %f \n", m[size_t(r * 4)], m[size_t(r * 4 + 1)], m[size_t(r * 4 + 2)]);
        text += line;
      }
      const std::array<double, 3> shift = LwsTransformPoint(m, scene.objects[i].pivot);
      std::snprintf(line, sizeof line, "Shift: %f %f %f\n", shift[0], shift[1], shift[2]);
      text += line;
    }
  }
  return text;
}
