// Frame composition: every object of a scene placed by its per-frame
// location and matrix and the world transform, projected by the caller's
// camera, given a screen matrix, scale, depth scale and level of detail,
// drawn, and shadowed on the ground plane.
#include <algorithm>
#include <array>
#include <cmath>

#include "render/placement.h"

namespace {

using Vec3 = std::array<float, 3>;

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

// How far the picture of a part can reach from its position, in 3D pixels:
// half a tile, or the part's real reach when it is larger than a tile.
float Reach(const VoxObjectHead& head) {
  return zvl::render::PartLargerThanTile(head) ? std::max(128.0f, zvl::render::PartReach(head)) : 128.0f;
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
    const zvl::render::Placement placed = zvl::render::PlaceObject(state, i, frame);
    const Vec3 location{placed.location[0], placed.location[1], placed.location[2]};
    // 5, 6. Screen placement.
    ScreenPlacement sp;
    if (!Project(projection, location, placed.matrix, u, sp)) continue;
    // 7. Level of detail, scale and depth scale.
    const VoxPartView* q = ZvlSelectLevel(parts, 1.0f / (sp.pixelsPerUnit * state.scale), state.drawMode);
    const float scale = q->head.pixelSize * sp.pixelsPerUnit * state.scale;
    float zscale = q->head.pixelSize * state.scale * sp.zmax;
    // 8. Screen offset.
    for (int k = 0; k < 3; ++k) sp.position[k] += state.screenOffset[k];
    // 9. Visible at all?
    //    An object off the screen is skipped whole, its shadow with it.
    const float reach = Reach(q->head);
    if (!OnScreen(sp.position, scale * reach, clip)) continue;
    // 10. Keep the far side of the object inside the depth range.
    const float far = zscale * reach + sp.position[2];
    if (!(far <= 65535.0f)) zscale = (65535.0f - sp.position[2]) / reach;
    // 11. Draw.
    if (handler->preDraw)
      handler->preDraw(handler, i, sp.position, sp.matrix, clip, state.light, scale, zscale, state.drawMode);
    ZvlDrawObject(handler, *q, sp.position, sp.matrix, clip, state.light, scale, zscale, state.drawMode);
    if (handler->postDraw) handler->postDraw(handler, i);
    united = ZvlUniteRect(united, handler->drawn);
    // 12. The shadow, cast along the shadow direction onto the ground plane.
    if (state.shadowsOn && state.shadowDirection[2] != 0.0f) {
      const float* s = state.shadowDirection;
      auto onGround = [&](const Vec3& p) {
        const float t = (state.groundHeight - p[2]) / s[2];
        return Vec3{p[0] + t * s[0], p[1] + t * s[1], p[2] + t * s[2]};
      };
      const Vec3 base = onGround(location);
      float flat[9];
      for (int k = 0; k < 3; ++k) {
        const Vec3 tip = onGround(
            Vec3{location[0] + placed.matrix[k], location[1] + placed.matrix[3 + k], location[2] + placed.matrix[6 + k]});
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
