// The keyframer calculation of 3D Studio scenes: track increments per frame,
// running matrices and positions per node, the hierarchy applied from the
// roots down, and hidden frames from the hide tracks.
#include "import/tds_animation.h"

#include "import/messages.h"

#include <cmath>

namespace importer {

namespace {

// Keys a (the last one before `frame`, else 0) and b (the first one at or
// after `frame`, else the last) of a track with keys.
void KeyPair(const Track3DS& track, int64_t frame, size_t& a, size_t& b) {
  a = 0;
  b = track.keys.size() - 1;
  bool found = false;
  for (size_t k = 0; k < track.keys.size(); ++k) {
    if (int64_t(track.keys[k].frame) < frame) a = k;
    if (!found && int64_t(track.keys[k].frame) >= frame) {
      b = k;
      found = true;
    }
  }
}

// A position or scale track at a frame: frame 0 takes the first key's value;
// later frames the per-frame step between the keys around it, plus `base`
// (1 for scales, which compound). A span of no frames leaves `out` alone.
template <class Track, class Vector>
void EvaluateVectorTrack(const Track& track, int frame, double base, Vector& out) {
  if (track.keys.empty()) return;
  size_t a = 0, b = 0;
  KeyPair(track, frame, a, b);
  const auto& va = track.values[a];
  const auto& vb = track.values[b];
  const double span = double(track.keys[b].frame) - double(track.keys[a].frame);
  if (frame == 0)
    out = {va[0], va[1], va[2]};
  else if (span != 0)
    for (int i = 0; i < 3; ++i) out[i] = (double(vb[i]) - va[i]) / span + base;
}

}  // namespace

TrackValues3DS EvaluateTracks(const KeyframerNode3DS& node, int frame) {
  TrackValues3DS r;
  size_t a = 0, b = 0;
  EvaluateVectorTrack(node.position, frame, 0, r.position);
  if (!node.rotation.keys.empty()) {
    KeyPair(node.rotation, frame, a, b);
    const double span = double(node.rotation.keys[b].frame) - double(node.rotation.keys[a].frame);
    const auto& v = node.rotation.values[frame == 0 ? a : b];
    if (frame == 0 || span != 0) {
      // Rotation keys after the first are relative to the key before.
      r.angle = frame == 0 ? double(v[0]) : double(v[0]) / span;
      r.axis = {v[1], v[2], v[3]};
    }
  }
  EvaluateVectorTrack(node.scale, frame, 1, r.scale);
  return r;
}

Mat3 LocalIncrement(const TrackValues3DS& values) {
  Vec3 axis = values.axis;
  if (axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2] == 0) axis[0] = 1;
  Mat3 rotation = Identity3();
  AxisRotation(rotation, axis, -values.angle);
  return Multiply(Scale3(values.scale), rotation);
}

bool AllocateFrames3DS(Scene3DS& scene, int64_t frameCount, const ImportCallbacks& callbacks) {
  if (frameCount < 0) frameCount = 0;
  int64_t nodeCount = 0;
  for (const auto& node : scene.nodes) nodeCount += node ? 1 : 0;
  if (frameCount > kMaxFrameEntries || frameCount * std::max<int64_t>(nodeCount, 1) > kMaxFrameEntries) {
    callbacks.Error(std::string(msg::TooManyFrames) + " " + std::to_string(frameCount));
    return false;
  }
  scene.frameCount = int(frameCount);
  for (auto& node : scene.nodes) {
    if (!node) continue;
    node->matrices.assign(size_t(frameCount), Identity3());
    node->locations.assign(size_t(frameCount), {0.0f, 0.0f, 0.0f});
    node->frameFlags.assign(size_t(frameCount), kFrameShown);
  }
  return true;
}

namespace {

// Object nodes in an order that puts every parent before its children: the
// roots in node order, then their descendants. Nodes that no root reaches
// (parents in a cycle) are left out and keep their initial placements.
std::vector<int> ParentsFirst(const Scene3DS& scene) {
  std::vector<int> order;
  for (size_t n = 0; n < scene.nodes.size(); ++n)
    if (scene.nodes[n] && scene.ParentNode(n) < 0) order.push_back(int(n));
  for (size_t i = 0; i < order.size(); ++i)
    for (int child : scene.nodes[size_t(order[i])]->children) order.push_back(child);
  return order;
}

Vec3 ToVec(const std::array<float, 3>& v) { return {v[0], v[1], v[2]}; }

void PlaceNode(Scene3DS& scene, size_t index, int f) {
  KeyframerNode3DS& node = *scene.nodes[index];
  const TrackValues3DS values = EvaluateTracks(node, f);
  if (f == 0) {
    node.runningMatrix = LocalIncrement(values);
    node.runningPosition = values.position;
  } else {
    node.runningMatrix = Multiply(LocalIncrement(values), node.runningMatrix);
    for (int i = 0; i < 3; ++i) node.runningPosition[i] += values.position[i];
  }
  const Mat3& L = node.runningMatrix;
  const Vec3 pivotImage = Apply(L, ToVec(node.pivot));
  Vec3 local = {node.runningPosition[0] - pivotImage[0], node.runningPosition[1] - pivotImage[1],
                node.runningPosition[2] - pivotImage[2]};
  Mat3 matrix = L;
  if (const int p = scene.ParentNode(index); p >= 0) {
    const KeyframerNode3DS& parent = *scene.nodes[size_t(p)];
    const Mat3& W = parent.matrices[size_t(f)];
    const Vec3 q = Apply(W, ToVec(parent.pivot));  // the parent's pivot image
    matrix = Multiply(W, L);
    local = Apply(W, local);
    for (int i = 0; i < 3; ++i) local[i] += parent.locations[size_t(f)][i] + q[i];
  }
  node.matrices[size_t(f)] = matrix;
  node.locations[size_t(f)] = {float(local[0]), float(local[1]), float(local[2])};
}

void HiddenFrames(KeyframerNode3DS& node, int frameCount) {
  const auto& keys = node.hide.keys;
  size_t k = 0;
  bool hidden = false;
  for (int f = 0; f < frameCount; ++f) {
    if (k < keys.size() && int64_t(keys[k].frame) < f) ++k;
    if (k < keys.size() && int64_t(keys[k].frame) == f) hidden = !hidden;
    node.frameFlags[size_t(f)] = hidden ? kFrameHidden : kFrameShown;
  }
}

}  // namespace

bool CalculateAnimation3DS(Scene3DS& scene, const ImportCallbacks& callbacks) {
  callbacks.Begin(msg::CalculatingAnimation, 100);
  // An animation length of 0xFFFFFFFF stands for -1: no frames.
  if (!AllocateFrames3DS(scene, int64_t(int32_t(scene.animationLength)) + 1, callbacks)) return false;
  const std::vector<int> order = ParentsFirst(scene);
  const int n = scene.frameCount;
  for (int f = 0; f < n; ++f) {
    for (int index : order) PlaceNode(scene, size_t(index), f);
    if (!callbacks.Step(int(int64_t(f + 1) * 100 / n))) return false;
  }
  for (auto& node : scene.nodes)
    if (node) HiddenFrames(*node, n);
  return true;
}

}  // namespace importer
