// Frame composition: every object of a scene placed by its per-frame
// location and matrix and the world transform, projected by the caller's
// camera, given a screen matrix, scale, depth scale and level of detail,
// drawn, and shadowed on the ground plane.
#include <algorithm>
#include <array>
#include <cmath>

#include "render/matrix3.h"
#include "render/render.h"

namespace {

using Vec3 = std::array<float, 3>;

Vec3 MulMat(const float m[9], const float v[3]) {
  return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
          m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}


constexpr float Identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr float Origin[3] = {0, 0, 0};

// One object's placement in a frame: L = W (S location) + offset, Mw = W matrix.
struct Placement {
  Vec3 location;
  float matrix[9];
};

Placement Place(const SceneState& state, int object, int frame) {
  const float* location = Origin;
  const float* matrix = Identity;
  if (state.animation != nullptr && state.frameCount > 0) {
    const ObjectAnimation& anim = state.animation[object];
    if (anim.locations) location = anim.locations + size_t(frame) * 3;
    if (anim.matrices) matrix = anim.matrices + size_t(frame) * 9;
  }
  const float scaled[3] = {location[0] * state.scale, location[1] * state.scale, location[2] * state.scale};
  Placement p;
  p.location = MulMat(state.worldMatrix, scaled);
  for (int k = 0; k < 3; ++k) p.location[k] += state.worldOffset[k];
  zvl::render::Multiply3(state.worldMatrix, matrix, p.matrix);
  return p;
}

// Where an object lands on the screen and how its axes project.
struct ScreenPlacement {
  float position[3];
  float matrix[9];      // normalised screen matrix J
  float pixelsPerUnit;  // m: screen pixels per world unit (largest column)
  float zmax;           // depth units per world unit (largest column)
};

// Steps 5 and 6: project L and the tips of the three axes at the probe
// length u; normalise the screen matrix. False when a projection is
// unusable.
bool Project(const ZvlProjection& projection, const Vec3& location, const float axes[9], float u,
             ScreenPlacement& out) {
  float p[3];
  if (!projection.project(projection.context, location.data(), p)) return false;
  // The probe is the object's smallest side; an object deep enough for its
  // tips to leave the usable depth range is probed with shorter ones
  // instead of being dropped.
  float j[9];
  bool usable = false;
  for (int attempt = 0; attempt < 3 && !usable; ++attempt, u *= 0.125f) {
    usable = true;
    for (int k = 0; k < 3 && usable; ++k) {
      const float tip[3] = {location[0] + u * axes[k], location[1] + u * axes[3 + k], location[2] + u * axes[6 + k]};
      float q[3];
      usable = projection.project(projection.context, tip, q);
      for (int r = 0; r < 3; ++r) j[r * 3 + k] = (q[r] - p[r]) / u;
    }
  }
  if (!usable) return false;
  float zmax = 0;
  for (int k = 0; k < 3; ++k) zmax = std::max(zmax, std::fabs(j[6 + k]));
  if (zmax > 0)
    for (int k = 0; k < 3; ++k) j[6 + k] /= zmax;
  float m2 = 0;
  for (int k = 0; k < 3; ++k) m2 = std::max(m2, j[k] * j[k] + j[3 + k] * j[3 + k]);
  float m = std::sqrt(m2);
  if (!(m > 0)) m = 1;
  for (int k = 0; k < 6; ++k) j[k] /= m;
  std::copy(p, p + 3, out.position);
  std::copy(j, j + 9, out.matrix);
  out.pixelsPerUnit = m;
  out.zmax = zmax;
  return true;
}

// How far from its origin a part's 3D pixels can land, in 3D pixels along
// any screen axis: half a tile, or more for a part larger than a tile (the
// sum over the axes of the farthest box coordinate, as the rows of a
// normalised screen matrix have entries of at most 1).
float Reach(const VoxObjectHead& head) {
  float sum = 0;
  for (int k = 0; k < 3; ++k)
    sum += float(std::max(std::abs(int(head.minimum[k])), std::abs(int(head.minimum[k]) + head.dimensions[k] - 1)));
  return std::max(128.0f, sum);
}

// `margin` in screen pixels: how far the picture reaches from the position.
bool OnScreen(const float position[3], float margin, const ZvlRect& clip) {
  return position[0] + margin >= 0 && position[1] + margin >= 0 && position[0] < clip.width + margin &&
         position[1] < clip.height + margin;
}

}  // namespace

void ZvlResetSceneState(SceneState& state) {
  const bool shadowsOn = state.shadowsOn;
  const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::fill(std::begin(state.worldOffset), std::end(state.worldOffset), 0.0f);
  std::copy(std::begin(identity), std::end(identity), state.worldMatrix);
  state.scale = 1.0f;
  state.light[0] = 0, state.light[1] = 0, state.light[2] = 1;
  state.drawMode = DrawMode::Fill;
  state.shadowDirection[0] = 0.3f, state.shadowDirection[1] = 0.3f, state.shadowDirection[2] = -1.0f;
  state.groundHeight = 0;
  std::fill(std::begin(state.screenOffset), std::end(state.screenOffset), int16_t(0));
  state.shadowsOn = shadowsOn;
}

int ZvlRenderScene(ScnHandler* handler, SceneState& state, const ZvlProjection& projection, int frame) {
  if (handler == nullptr || state.busy || state.objects.empty() || projection.project == nullptr) return 1;
  // 1. Busy for the duration of the frame.
  state.busy = true;
  ZvlRect united = ZvlEmptyRect;
  if (state.frameCount > 0) frame = std::clamp(frame, 0, state.frameCount - 1);
  const int objectCount = std::min<int>(state.objectCount, int(state.objects.size()));
  const ZvlRect clip = handler->clip;
  for (int i = 0; i < objectCount; ++i) {
    // 2. Hidden in this frame: neither the object nor its shadow.
    if (state.animation != nullptr && state.frameCount > 0 && state.animation[i].flags &&
        (state.animation[i].flags[frame] & ZvlObjectHidden))
      continue;
    const SceneObject& object = state.objects[i];
    if (object.parts.empty()) continue;
    const int current = std::clamp(object.current, 0, int(object.parts.size()) - 1);
    const std::span<const VoxPartView> parts(object.parts.data() + current, object.parts.size() - current);
    const VoxObjectHead& head = parts[0].head;
    // 3. The probe length.
    const float u =
        float(std::min({head.dimensions[0], head.dimensions[1], head.dimensions[2]})) * head.pixelSize * state.scale;
    if (!(u > 0) || !std::isfinite(u)) continue;
    // 4. World placement.
    const Placement placed = Place(state, i, frame);
    // 5, 6. Screen placement.
    ScreenPlacement sp;
    if (!Project(projection, placed.location, placed.matrix, u, sp)) continue;
    // 7. Level of detail, scale and depth scale.
    const VoxPartView* q = ZvlSelectLevel(parts, 1.0f / (sp.pixelsPerUnit * state.scale), state.drawMode);
    const float scale = q->head.pixelSize * sp.pixelsPerUnit * state.scale;
    float zscale = q->head.pixelSize * state.scale * sp.zmax;
    // 8. Screen offset.
    for (int k = 0; k < 3; ++k) sp.position[k] += state.screenOffset[k];
    // 9. Visible at all?
    const float reach = Reach(q->head);
    if (OnScreen(sp.position, scale * reach, clip)) {
      // 10. Keep the far side of the object inside the depth range.
      const float far = zscale * reach + sp.position[2];
      if (!(far <= 65535.0f)) zscale = (65535.0f - sp.position[2]) / reach;
      // 11. Draw.
      if (handler->preDraw)
        handler->preDraw(handler, i, sp.position, sp.matrix, clip, state.light, scale, zscale, state.drawMode);
      ZvlDrawObject(handler, *q, sp.position, sp.matrix, clip, state.light, scale, zscale, state.drawMode);
      if (handler->postDraw) handler->postDraw(handler, i);
      united = ZvlUniteRect(united, handler->drawn);
    }
    // 12. The shadow, cast along the shadow direction onto the ground plane.
    if (state.shadowsOn && state.shadowDirection[2] != 0.0f) {
      const float* s = state.shadowDirection;
      auto onGround = [&](const Vec3& p) {
        const float t = (state.groundHeight - p[2]) / s[2];
        return Vec3{p[0] + t * s[0], p[1] + t * s[1], p[2] + t * s[2]};
      };
      const Vec3 base = onGround(placed.location);
      float flat[9];
      for (int k = 0; k < 3; ++k) {
        const Vec3 tip = onGround(Vec3{placed.location[0] + placed.matrix[k], placed.location[1] + placed.matrix[3 + k],
                                       placed.location[2] + placed.matrix[6 + k]});
        for (int r = 0; r < 3; ++r) flat[r * 3 + k] = tip[r] - base[r];
      }
      ScreenPlacement shadow;
      if (!Project(projection, base, flat, u, shadow)) continue;
      const VoxPartView* qs = ZvlSelectLevel(parts, 1.0f / (shadow.pixelsPerUnit * state.scale), state.drawMode);
      const float shadowScale = qs->head.pixelSize * shadow.pixelsPerUnit * state.scale;
      const float shadowZscale = qs->head.pixelSize * state.scale * shadow.zmax;
      for (int k = 0; k < 3; ++k) shadow.position[k] += state.screenOffset[k];
      if (!OnScreen(shadow.position, shadowScale * Reach(qs->head), clip)) continue;
      ZvlDrawShadow(handler, *qs, shadow.position, shadow.matrix, clip, shadowScale, shadowZscale, state.drawMode);
      united = ZvlUniteRect(united, handler->drawn);
    }
  }
  // 13. The union of everything drawn.
  handler->drawn = united;
  state.busy = false;
  return 0;
}
