// Per-frame placement of objects and the reach of parts.
#include "render/placement.h"

#include <algorithm>
#include <cstdlib>

#include "render/matrix3.h"

namespace zvl::render {

void StoredPlacement(const SceneState& state, int object, int frame, float location[3], float matrix[9]) {
  static constexpr float Identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::fill(location, location + 3, 0.0f);
  std::copy(Identity, Identity + 9, matrix);
  if (state.animation == nullptr || state.frameCount <= 0 || object < 0 || object >= state.objectCount) return;
  const size_t f = size_t(std::clamp(frame, 0, state.frameCount - 1));
  const ObjectAnimation& anim = state.animation[object];
  if (anim.locations) std::copy_n(anim.locations + f * 3, 3, location);
  if (anim.matrices) std::copy_n(anim.matrices + f * 9, 9, matrix);
}

Placement PlaceObject(const SceneState& state, int object, int frame) {
  float location[3], matrix[9];
  StoredPlacement(state, object, frame, location, matrix);
  const float* w = state.worldMatrix;
  const float scaled[3] = {location[0] * state.scale, location[1] * state.scale, location[2] * state.scale};
  Placement p;
  for (int r = 0; r < 3; ++r)
    p.location[r] = w[r * 3] * scaled[0] + w[r * 3 + 1] * scaled[1] + w[r * 3 + 2] * scaled[2] + state.worldOffset[r];
  Multiply3(w, matrix, p.matrix);
  return p;
}

namespace {
int Farthest(const VoxObjectHead& head, int k) {
  return std::max(std::abs(int(head.minimum[k])), std::abs(int(head.minimum[k]) + head.dimensions[k] - 1));
}
}  // namespace

float PartReach(const VoxObjectHead& head) {
  return float(Farthest(head, 0) + Farthest(head, 1) + Farthest(head, 2));
}

bool PartLargerThanTile(const VoxObjectHead& head) {
  return Farthest(head, 0) > 128 || Farthest(head, 1) > 128 || Farthest(head, 2) > 128;
}

}  // namespace zvl::render
