// The orbit camera, its projection and keys, and the CameraView's output
// image and depth buffer.
#include <algorithm>
#include <cmath>

#include "render/render.h"

namespace {
constexpr float FullTurn = 6.283185f;
constexpr float UsableDepth = 65000.0f;
constexpr int MaxImageSide = 16384;

void TurnUp(float& angle) {
  angle += ZvlAngleStep;
  if (angle > FullTurn) angle -= FullTurn;
}
void TurnDown(float& angle) {
  angle -= ZvlAngleStep;
  if (angle < -FullTurn) angle += FullTurn;
}

bool CameraProjectThunk(void* context, const float point[3], float screen[3]) {
  return ZvlCameraProject(static_cast<CameraView*>(context)->camera, point, screen);
}
}  // namespace

void ZvlOrbit(Camera& camera) {
  const float ce = std::cos(camera.elevation), se = std::sin(camera.elevation);
  const float ca = std::cos(camera.azimuth), sa = std::sin(camera.azimuth);
  const float w[3] = {ce * ca, -ce * sa, -se};  // view direction
  const float a[3] = {-ca * se, sa * se, -ce};  // screen y axis
  const float x[3] = {a[1] * w[2] - a[2] * w[1], a[2] * w[0] - a[0] * w[2], a[0] * w[1] - a[1] * w[0]};
  for (int k = 0; k < 3; ++k) {
    camera.rotation[k] = x[k];
    camera.rotation[3 + k] = a[k];
    camera.rotation[6 + k] = w[k];
  }
  const float r = camera.distance;
  camera.position[0] = -r * w[0];
  camera.position[1] = -r * w[1];
  camera.position[2] = camera.targetHeight - r * w[2];
}

bool ZvlCameraProject(Camera& camera, const float q[3], float screen[3]) {
  const float d[3] = {q[0] - camera.position[0], q[1] - camera.position[1], q[2] - camera.position[2]};
  const float* R = camera.rotation;
  const float vx = R[0] * d[0] + R[1] * d[1] + R[2] * d[2];
  const float vy = R[3] * d[0] + R[4] * d[1] + R[5] * d[2];
  const float vz = R[6] * d[0] + R[7] * d[1] + R[8] * d[2];
  float factor = vz <= 0 ? 1.0f : camera.focalDistance * (camera.focalScale / (camera.focalDistance + vz));
  if (camera.perPointPerspective == 0 && camera.cachedFactor > 0) factor = camera.cachedFactor;
  screen[0] = float(camera.viewportWidth >> 1) + vx * factor;
  screen[1] = float(camera.viewportHeight >> 1) + vy * factor;
  screen[2] = camera.depthOffset + vz;
  if (camera.cachedFactor < 0) camera.cachedFactor = factor;
  return screen[2] >= 0.0f && screen[2] <= UsableDepth;
}

bool ZvlCameraKey(Camera& camera, int key) {
  switch (key) {
    case ZvlKey::PageUp: camera.focalDistance += 40.0f; break;
    case ZvlKey::PageDown:
      if (camera.focalDistance > 100.0f) camera.focalDistance -= 40.0f;
      break;
    case ZvlKey::End: camera.distance += camera.distanceStep; break;
    case ZvlKey::Home: camera.distance = std::max(0.0f, camera.distance - camera.distanceStep); break;
    case ZvlKey::Left: TurnUp(camera.azimuth); break;
    case ZvlKey::Up: TurnUp(camera.elevation); break;
    case ZvlKey::Right: TurnDown(camera.azimuth); break;
    case ZvlKey::Down: TurnDown(camera.elevation); break;
    default: return false;
  }
  ZvlOrbit(camera);
  return true;
}

bool CameraView::create(int width, int height, bool rgb565, bool keepCamera) {
  if (width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide) return false;
  pitch_ = (width + 31) & ~31;
  width_ = width;
  height_ = height;
  redMask_ = rgb565 ? 0xF800 : 0x7C00;
  pixels_.assign(size_t(pitch_) * size_t(height), 0);
  depth_.assign(size_t(pitch_) * size_t(height), 0xFFFF);
  if (!keepCamera) resetCamera();
  camera.viewportWidth = width;
  camera.viewportHeight = height;
  return true;
}

void CameraView::resetCamera() {
  camera.azimuth = 0.0f;
  camera.distance = 300.0f;
  camera.elevation = 0.5236f;
  camera.focalDistance = 400.0f;
  camera.focalScale = 1.0f;
  camera.targetHeight = 0.0f;
  ZvlOrbit(camera);
}

ZvlOutput CameraView::output() {
  ZvlOutput out;
  out.colorBuffer = pixels_.data();
  out.colorBits = 16;
  out.redMask = redMask_;
  out.colorPitch = pitch_;
  out.depthBuffer = depth_.data();
  out.depthBits = 16;
  out.depthPitch = pitch_;
  out.width = width_;
  out.height = height_;
  return out;
}

namespace {
template <class T>
void FillRect(std::vector<T>& buffer, int pitch, int width, int height, const ZvlRect& rect, T value) {
  if (rect.empty()) return;
  const int x0 = std::max<int>(rect.x0, 0), y0 = std::max<int>(rect.y0, 0);
  const int x1 = std::min<int>(rect.x1, width - 1), y1 = std::min<int>(rect.y1, height - 1);
  for (int y = y0; y <= y1; ++y)
    if (x0 <= x1)
      std::fill(buffer.begin() + ptrdiff_t(y) * pitch + x0, buffer.begin() + ptrdiff_t(y) * pitch + x1 + 1, value);
}
}  // namespace

void CameraView::fillDepth(const ZvlRect& rect, uint16_t value) {
  FillRect(depth_, pitch_, width_, height_, rect, value);
}
void CameraView::fillColor(const ZvlRect& rect, uint16_t value) {
  FillRect(pixels_, pitch_, width_, height_, rect, value);
}
void CameraView::fillAll(uint16_t color, uint16_t depth) {
  std::fill(pixels_.begin(), pixels_.end(), color);
  std::fill(depth_.begin(), depth_.end(), depth);
}

ZvlProjection CameraView::projection() { return ZvlProjection{CameraProjectThunk, this}; }
