#include "maxplugin/viewer_camera.h"

#include <algorithm>
#include <cmath>

#include "maxplugin/viewer_state.h"

namespace zvlplay {

void ViewerCamera::Orbit() {
  const float ca = std::cos(azimuth), sa = std::sin(azimuth);
  const float ce = std::cos(elevation), se = std::sin(elevation);
  const float w[3] = {-ca * ce, -sa * ce, -se};
  const float x[3] = {-sa, ca, 0};
  float y[3] = {w[1] * x[2] - w[2] * x[1], w[2] * x[0] - w[0] * x[2], w[0] * x[1] - w[1] * x[0]};
  const float n = std::sqrt(y[0] * y[0] + y[1] * y[1] + y[2] * y[2]);
  if (n > 0)
    for (float& v : y) v /= n;
  for (int k = 0; k < 3; ++k) {
    rotation[k] = x[k];
    rotation[3 + k] = y[k];
    rotation[6 + k] = w[k];
  }
  position[0] = -distance * w[0];
  position[1] = -distance * w[1];
  position[2] = targetHeight - distance * w[2];
}

void ViewerCamera::Fit(float e, float height, float pixelSize) {
  e = e > 0 && std::isfinite(e) ? e : 1.0f;
  screenPixelSize = pixelSize > 0 ? 0.05f * pixelSize : 0.05f * e / 64.0f;
  perspective = 1.0f / e;
  nearDepth = 0.95f * e;
  farDepth = 133.0f * e;
  azimuth = -0.7853982f;
  elevation = 0.5235988f;
  distance = 19.0f * e;
  targetHeight = 0.5f * height;
  distanceStep = 0.25f * e;
  frameFactor = -1.0f;
  Orbit();
}

bool ViewerCamera::Project(const float q[3], float screen[3]) {
  const float d[3] = {q[0] - position[0], q[1] - position[1], q[2] - position[2]};
  float v[3];
  for (int r = 0; r < 3; ++r) v[r] = rotation[3 * r] * d[0] + rotation[3 * r + 1] * d[1] + rotation[3 * r + 2] * d[2];
  if (frameFactor < 0) frameFactor = v[2] > 0 && perspective > 0 ? 1.0f / (1.0f + perspective * v[2]) : 1.0f;
  screen[0] = v[0] * frameFactor / screenPixelSize + float(kViewerWidth >> 1) + 0.5f;
  screen[1] = v[1] * frameFactor / screenPixelSize + float(kViewerHeight >> 1) + 0.5f;
  screen[2] = (v[2] - nearDepth) / ((farDepth - nearDepth) / 65535.0f);
  return std::isfinite(screen[0]) && std::isfinite(screen[1]) && screen[2] >= 0 && screen[2] <= 65535.0f;
}

namespace {
bool ProjectThunk(void* context, const float point[3], float screen[3]) {
  return static_cast<ViewerCamera*>(context)->Project(point, screen);
}
}  // namespace

ZvlProjection ViewerCamera::Projection() { return ZvlProjection{ProjectThunk, this}; }

void ViewerFit(ZvlBase& scene, ViewerCamera& camera) {
  SceneState& s = scene.state();
  ZvlResetSceneState(s);
  s.scale = 1.0f;
  const ZvlBox box = scene.sceneBox(0, 1.0f);
  s.worldOffset[0] = -0.5f * (box.min[0] + box.max[0]);
  s.worldOffset[1] = -0.5f * (box.min[1] + box.max[1]);
  s.worldOffset[2] = -box.min[2];
  const float rows[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::copy(rows, rows + 9, s.worldMatrix);
  s.light[0] = 0, s.light[1] = 0, s.light[2] = 1;
  s.shadowDirection[0] = 0.3f, s.shadowDirection[1] = 0.3f, s.shadowDirection[2] = -1.0f;
  s.shadowsOn = true;
  s.drawMode = DrawMode::Fill;
  s.groundHeight = 0;
  const float e = std::max({box.max[0] - box.min[0], box.max[1] - box.min[1], box.max[2] - box.min[2]});
  const float pixelSize = !s.objects.empty() && !s.objects[0].parts.empty() ? s.objects[0].parts[0].head.pixelSize : 0;
  camera.Fit(e, box.max[2] - box.min[2], pixelSize);
}

}  // namespace zvlplay
