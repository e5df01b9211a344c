// ZvlBase: a loaded scene on the drawing side. Keeps the handler matched to
// the output (pixel size, colour model), fits the scene to the camera,
// renders frames and turns key presses into changes of the scene.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "render/matrix3.h"
#include "render/placement.h"

using zvl::render::PlaceObject;
using zvl::render::StoredPlacement;

namespace {

constexpr float FittedDistance = 32767.0f;
constexpr float FittedDistanceStep = 655.34f;
constexpr float FittedElevation = 0.3f;

// Mixes rows i and j of m by the angle: ri' = c ri - s rj, rj' = s ri + c rj.
void RotateRows(float m[9], int i, int j, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  for (int k = 0; k < 3; ++k) {
    const float a = m[i * 3 + k], b = m[j * 3 + k];
    m[i * 3 + k] = c * a - s * b;
    m[j * 3 + k] = s * a + c * b;
  }
}

}  // namespace

ZvlBase::ZvlBase()
    : shadowTable_(ZvlShadowTableSize16,
                   ZvlPackRgb555(ZvlDefaultShadowColor.r, ZvlDefaultShadowColor.g, ZvlDefaultShadowColor.b)) {}

ZvlBase::~ZvlBase() { destroyHandler(); }

void ZvlBase::report(const char* message, const std::string& cause) {
  const std::string text = cause.empty() ? std::string(message) : std::string(message) + ": " + cause;
  ZvlSetError(text.c_str());
  if (showMessage_) showMessage_(text.c_str());
}

void ZvlBase::destroyHandler() {
  ZvlDestroyScnHandler(handler_);
  handler_ = nullptr;
}

int ZvlBase::load(const char* path) {
  ZorvelDatabase* database = ZvlReadDatabaseFile(path);
  if (database == nullptr) return 1;
  return load(ZvlDatabasePtr(database));
}

int ZvlBase::load(ZvlDatabasePtr database) {
  if (!database) return 1;
  // Every part of every object must hold together before anything is drawn
  // from it: structure (VoxListParts) and moves (ZvlCheckPart).
  std::vector<SceneObject> objects;
  bool anyGeometry = false;
  if (database->geometry != nullptr && database->objectCount > 0) {
    objects.resize(size_t(database->objectCount));
    for (int i = 0; i < database->objectCount; ++i) {
      const ObjectGeometry& g = database->geometry[i];
      if (g.voxObject == nullptr) continue;
      if (g.totalSize < 0 || !VoxListParts(g.voxObject, size_t(g.totalSize), objects[i].parts) ||
          !std::all_of(objects[i].parts.begin(), objects[i].parts.end(), ZvlCheckPart)) {
        ZvlSetError(zvl::rmsg::BadVoxelGeometry);
        return 1;
      }
      anyGeometry = anyGeometry || !objects[i].parts.empty();
    }
  }
  if (!anyGeometry) objects.clear();

  destroyHandler();
  database_ = std::move(database);
  state_ = SceneState{};
  state_.objectCount = database_->objectCount;
  state_.frameCount = database_->animation ? database_->frameCount : 0;
  state_.animation = database_->animation;
  state_.objects = std::move(objects);
  loadedTable_.clear();
  if (database_->colorTable != nullptr) {
    loadedTable_.assign(std::begin(database_->colorTable->colors), std::end(database_->colorTable->colors));
  } else if (database_->palette != nullptr) {
    loadedTable_.resize(ZvlColorIndexCount);
    ZvlBuildColorTable16(*database_->palette, database_->version, loadedTable_.data());
  }
  colorModel_ = 0x7C00;
  frame_ = 0;
  return 0;
}

void ZvlBase::applyHooks() {
  if (handler_ == nullptr) return;
  handler_->preDraw = preDraw_;
  handler_->postDraw = postDraw_;
  handler_->hookContext = hookContext_;
}

void ZvlBase::setDrawHooks(ZvlPreDrawHook preDraw, ZvlPostDrawHook postDraw, void* context) {
  preDraw_ = preDraw;
  postDraw_ = postDraw;
  hookContext_ = context;
  applyHooks();
}

bool ZvlBase::recreateHandler(int pixelSize) {
  destroyHandler();
  buffer_.pixelSize = uint8_t(pixelSize);
  if (pixelSize == 1) {
    if (database_->palette == nullptr) {
      report(zvl::rmsg::NoPalette);
      return false;
    }
    handler_ = ZvlCreateScnHandler(0, &database_->palette->shades[0][0], nullptr, &buffer_);
    if (handler_ == nullptr) {
      report(zvl::rmsg::CannotGetScnHandler, ZvlGetErrorText());
      return false;
    }
  } else {
    if (loadedTable_.empty()) {
      report(zvl::rmsg::NoPalette);
      return false;
    }
    handler_ = ZvlCreateScnHandler(0, loadedTable_.data(), shadowTable_.data(), &buffer_);
    if (handler_ == nullptr) {
      report(zvl::rmsg::CannotGetScnHandler16, ZvlGetErrorText());
      return false;
    }
    colorModel_ = 0x7C00;
  }
  applyHooks();
  return true;
}

bool ZvlBase::bind(const ZvlOutput& output) {
  if (!database_) return false;
  if (output.colorBits != 8 && output.colorBits != 16) {
    report(zvl::rmsg::UnsupportedColorBufferFormat);
    return false;
  }
  if (output.depthBits != 16) {
    report(zvl::rmsg::UnsupportedZBufferFormat);
    return false;
  }
  constexpr int MaxSide = std::numeric_limits<int16_t>::max();
  if (output.colorBuffer == nullptr || output.depthBuffer == nullptr || output.width < 0 || output.height < 0 ||
      output.width > MaxSide || output.height > MaxSide || output.colorPitch < output.width ||
      output.depthPitch < output.width)
    return false;
  if (output.colorBits == 16 && output.redMask != 0x7C00 && output.redMask != 0xF800) {
    report(zvl::rmsg::UnknownColorModel);
    return false;
  }
  buffer_.colorBuffer = output.colorBuffer;
  buffer_.depthBuffer = output.depthBuffer;
  buffer_.width = int16_t(output.width);
  buffer_.height = int16_t(output.height);
  const int pixelSize = output.colorBits / 8;
  if (handler_ == nullptr || handler_->pixelSize != pixelSize) {
    if (!recreateHandler(pixelSize)) return false;
  }
  buffer_.pixelSize = uint8_t(pixelSize);
  handler_->colorPitch = output.colorPitch;
  handler_->depthPitch = output.depthPitch;
  handler_->clip = ZvlMakeRect(0, 0, output.width - 1, output.height - 1);
  if (pixelSize == 2 && output.redMask != colorModel_) {
    if (output.redMask == 0x7C00)
      ZvlColorTableTo555(handler_);
    else
      ZvlColorTableTo565(handler_);
    colorModel_ = output.redMask;
  }
  return true;
}

std::optional<ZvlRect> ZvlBase::render(const ZvlOutput& output, int frame, bool align) {
  if (!hasGeometry()) {
    report(zvl::rmsg::CannotRenderPureAnimation);
    return std::nullopt;
  }
  if (camera_ == nullptr || !bind(output)) return std::nullopt;
  frame_ = state_.frameCount > 0 ? std::clamp(frame, 0, state_.frameCount - 1) : 0;
  // Object 0 near the middle of the depth range, and one perspective factor
  // for the frame, fixed by the first point projected.
  Camera& camera = camera_->camera;
  const zvl::render::Placement object0 = PlaceObject(state_, 0, frame_);
  const float* l0 = object0.location;
  const float* w = camera.rotation + 6;
  const float d =
      (l0[0] - camera.position[0]) * w[0] + (l0[1] - camera.position[1]) * w[1] + (l0[2] - camera.position[2]) * w[2];
  camera.depthOffset = 32767.0f - d;
  camera.cachedFactor = -1.0f;
  if (ZvlRenderScene(handler_, state_, camera_->projection(), frame_) != 0) return std::nullopt;
  ZvlRect drawn = handler_->drawn;
  if (drawn.empty()) return std::nullopt;
  if (align) {
    const int x0 = drawn.x0 & ~3, y0 = drawn.y0 & ~3;
    const int width = (drawn.x1 - x0 + 1 + 3) & ~3;
    drawn = ZvlMakeRect(x0, y0, x0 + width - 1, drawn.y1);
  }
  return drawn;
}

void ZvlBase::selectLevel(int k) {
  for (SceneObject& object : state_.objects)
    object.current = object.parts.empty() ? 0 : std::clamp(k, 0, int(object.parts.size()) - 1);
}

ZvlBox ZvlBase::sceneBox(int frame, float scale) const {
  ZvlBox box;
  bool any = false;
  for (int i = 0; i < int(state_.objects.size()); ++i) {
    const SceneObject& object = state_.objects[i];
    if (object.parts.empty()) continue;
    const VoxObjectHead& head = object.parts[std::clamp(object.current, 0, int(object.parts.size()) - 1)].head;
    float location[3], matrix[9];
    StoredPlacement(state_, i, frame, location, matrix);
    const float unit = head.pixelSize * scale;
    for (int corner = 0; corner < 8; ++corner) {
      float c[3];
      for (int k = 0; k < 3; ++k) c[k] = (head.minimum[k] + ((corner >> k) & 1) * head.dimensions[k]) * unit;
      for (int r = 0; r < 3; ++r) {
        const float p =
            scale * location[r] + matrix[r * 3] * c[0] + matrix[r * 3 + 1] * c[1] + matrix[r * 3 + 2] * c[2];
        box.min[r] = any ? std::min(box.min[r], p) : p;
        box.max[r] = any ? std::max(box.max[r], p) : p;
      }
      any = true;
    }
  }
  return box;
}

float ZvlBase::fittedPositionStep() const {
  const ZvlBox box = sceneBox(frame_, 1.0f);
  const float side[3] = {box.max[0] - box.min[0], box.max[1] - box.min[1], box.max[2] - box.min[2]};
  const float diagonal = std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
  return 0.1f * diagonal * state_.scale;
}

void ZvlBase::fitToView(float focalDistance, float scale) {
  if (camera_ == nullptr || !hasGeometry()) return;
  // 1. Defaults.
  ZvlResetSceneState(state_);
  // 2. The scene box at the current frame.
  const ZvlBox box = sceneBox(frame_, 1.0f);
  const float side[3] = {box.max[0] - box.min[0], box.max[1] - box.min[1], box.max[2] - box.min[2]};
  const float extent = std::max({side[0], side[1], side[2]});
  const float diagonal = std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
  // 3. The camera.
  Camera& camera = camera_->camera;
  camera.focalDistance = focalDistance;
  camera.azimuth = 0.0f;
  camera.distance = FittedDistance;
  camera.distanceStep = FittedDistanceStep;
  camera.elevation = FittedElevation;
  camera.targetHeight = 0.0f;  // measured from the same eye every time, so fitting twice changes nothing
  ZvlOrbit(camera);
  // 5. How long the diagonal looks on the screen, upright at the orbit centre.
  Camera probe = camera;
  probe.perPointPerspective = 1;
  probe.cachedFactor = -1.0f;
  const float origin[3] = {0, 0, 0};
  const float up[3] = {diagonal * camera.rotation[3], diagonal * camera.rotation[4], diagonal * camera.rotation[5]};
  float p0[3], p1[3];
  ZvlCameraProject(probe, origin, p0);
  ZvlCameraProject(probe, up, p1);
  const float e = std::hypot(p1[0] - p0[0], p1[1] - p0[1]);
  // 6. The scene scale.
  const SceneObject& first = state_.objects[0];
  const float pixelSize = first.parts.empty()
                              ? 0.0f
                              : first.parts[std::clamp(first.current, 0, int(first.parts.size()) - 1)].head.pixelSize;
  const float wanted = scale >= 0 ? scale : (pixelSize > 0 ? extent / pixelSize : 0.0f);
  const float s = e > 0 && wanted > 0 ? wanted / e : 1.0f;
  state_.scale = std::isfinite(s) ? s : 1.0f;
  // 4. The scene position step, at that scale.
  positionStep = fittedPositionStep();
  // 7. Centred, standing on z = 0, the orbit centre at 0.7 of its height.
  state_.worldOffset[0] = -state_.scale * (box.min[0] + box.max[0]) * 0.5f;
  state_.worldOffset[1] = -state_.scale * (box.min[1] + box.max[1]) * 0.5f;
  state_.worldOffset[2] = -state_.scale * box.min[2];
  camera.targetHeight = state_.scale * (box.max[2] - box.min[2]) * 0.7f;
  ZvlOrbit(camera);
}

bool ZvlBase::handleKey(ZvlKeyGroup group, int key) {
  switch (group) {
    case ZvlKeyGroup::Camera: return camera_ != nullptr && camera_->cameraKey(key);
    case ZvlKeyGroup::Light: return lightKey(key);
    case ZvlKeyGroup::Shadow: return shadowKey(key);
    case ZvlKeyGroup::ScenePosition: return positionKey(key);
    case ZvlKeyGroup::ModelRotation: return rotationKey(key);
  }
  return false;
}

namespace {
bool TurnAngles(int key, float& elevation, float& azimuth) {
  switch (key) {
    case ZvlKey::Left: azimuth += ZvlAngleStep; return true;
    case ZvlKey::Up: elevation += ZvlAngleStep; return true;
    case ZvlKey::Right: azimuth -= ZvlAngleStep; return true;
    case ZvlKey::Down: elevation -= ZvlAngleStep; return true;
    default: return false;
  }
}
}  // namespace

bool ZvlBase::lightKey(int key) {
  if (!TurnAngles(key, lightElevation, lightAzimuth)) return false;
  const float e = lightElevation, a = lightAzimuth;
  state_.light[0] = std::cos(e) * std::sin(a);
  state_.light[1] = std::sin(e);
  state_.light[2] = std::cos(e) * std::cos(a);
  return true;
}

bool ZvlBase::shadowKey(int key) {
  if (!TurnAngles(key, shadowElevation, shadowAzimuth)) return false;
  const float e = shadowElevation, a = shadowAzimuth;
  state_.shadowDirection[0] = std::sin(e) * std::sin(a);
  state_.shadowDirection[1] = std::sin(e) * std::cos(a);
  state_.shadowDirection[2] = -std::cos(e);
  return true;
}

bool ZvlBase::positionKey(int key) {
  float* offset = state_.worldOffset;
  switch (key) {
    case ZvlKey::End: offset[2] += positionStep; return true;
    case ZvlKey::Home: offset[2] -= positionStep; return true;
    case ZvlKey::Left: offset[0] += positionStep; return true;
    case ZvlKey::Up: offset[0] -= positionStep; return true;
    case ZvlKey::Right: offset[1] += positionStep; return true;
    case ZvlKey::Down: offset[1] -= positionStep; return true;
    default: return false;
  }
}

// The scene turns about an axis of the camera: object 0's orientation is
// taken into the camera's frame (A = R W M0), two of its rows are mixed, and
// the result, taken back out of the camera's frame and out of M0, becomes
// the world matrix; the world offset keeps object 0 where it was.
bool ZvlBase::rotationKey(int key) {
  int rowA, rowB;
  float angle;
  switch (key) {
    case ZvlKey::End: rowA = 0, rowB = 1, angle = -ZvlAngleStep; break;
    case ZvlKey::Home: rowA = 0, rowB = 1, angle = ZvlAngleStep; break;
    case ZvlKey::Left: rowA = 0, rowB = 2, angle = ZvlAngleStep; break;
    case ZvlKey::Right: rowA = 0, rowB = 2, angle = -ZvlAngleStep; break;
    case ZvlKey::Up: rowA = 1, rowB = 2, angle = ZvlAngleStep; break;
    case ZvlKey::Down: rowA = 1, rowB = 2, angle = -ZvlAngleStep; break;
    default: return false;
  }
  if (camera_ == nullptr || state_.objectCount <= 0) return false;
  float location[3], m0[9], m0Inverse[9];
  StoredPlacement(state_, 0, frame_, location, m0);
  if (!zvl::render::Invert3(m0, m0Inverse)) return false;
  const float* R = camera_->camera.rotation;
  float a[9];
  zvl::render::Multiply3(state_.worldMatrix, m0, a);
  zvl::render::Multiply3(R, a, a);
  RotateRows(a, rowA, rowB, angle);
  float rt[9], w[9];
  zvl::render::Transpose3(R, rt);
  zvl::render::Multiply3(rt, a, w);
  zvl::render::Multiply3(w, m0Inverse, w);
  const zvl::render::Placement before = PlaceObject(state_, 0, frame_);
  std::copy(w, w + 9, state_.worldMatrix);
  const zvl::render::Placement after = PlaceObject(state_, 0, frame_);
  for (int k = 0; k < 3; ++k) state_.worldOffset[k] += before.location[k] - after.location[k];
  return true;
}

std::span<uint16_t> ZvlBase::colorTable16() {
  if (handler_ == nullptr || handler_->pixelSize != 2) return {};
  return {static_cast<uint16_t*>(handler_->colorTable), size_t(ZvlColorIndexCount)};
}

void ZvlBase::setShadowTable(std::span<const uint16_t> table) {
  if (table.size() != shadowTable_.size()) return;
  std::copy(table.begin(), table.end(), shadowTable_.begin());
  if (handler_ != nullptr && handler_->pixelSize == 2) ZvlSetShadowTable(handler_, shadowTable_.data());
}

bool ZvlBase::attachAnimation(ZvlBase& source) {
  if (!database_ || !source.database_ || database_->objectCount != source.database_->objectCount) return false;
  std::swap(database_->animation, source.database_->animation);
  std::swap(database_->frameCount, source.database_->frameCount);
  for (ZvlBase* base : {this, &source}) {
    base->state_.animation = base->database_->animation;
    base->state_.frameCount = base->database_->animation ? base->database_->frameCount : 0;
    base->frame_ = 0;
  }
  return true;
}
