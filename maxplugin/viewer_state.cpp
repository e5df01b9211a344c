#include "maxplugin/viewer_state.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "maxplugin/viewer_messages.h"

namespace zvlplay {

const ViewerMenuItem kViewerMenu[16] = {
    {"&File", "Save as...", 40004, ViewerCommand::SaveAs},
    {"&File", "Properties", 40008, kViewerInfoBox},
    {"&File", "&Exit", 1, kViewerExit},
    {"&Controls", "Default", 74, ViewerCommand::Default},
    {"&Controls", "Camera", 10, ViewerCommand::GroupCamera},
    {"&Controls", "Light", 20, ViewerCommand::GroupLight},
    {"&Controls", "Shadow", 30, ViewerCommand::GroupShadow},
    {"&Controls", "Scene position", 40, ViewerCommand::GroupPosition},
    {"&Controls", "Scene rotation", 50, ViewerCommand::GroupRotation},
    {"&Render", "Pack zorvel", 71, ViewerCommand::Pack},
    {"&Render", "Fill zorvel", 72, ViewerCommand::Fill},
    {"&Render", "Stretch zorvel", 73, ViewerCommand::Stretch},
    {"&Color", "&Background", 75, ViewerCommand::Background},
    {"&Color", "&Shadow", 76, ViewerCommand::ShadowColor},
    {"&Help", "&Control keys", 60, kViewerHelpBox},
    {"&Help", "&About Player", 70, kViewerAboutBox},
};

int ViewerCommandForKey(int key) {
  switch (key) {
    case ViewerKey::Space: return ViewerCommand::Pause;
    case ViewerKey::PageUp: return ViewerCommand::PageUp;
    case ViewerKey::PageDown: return ViewerCommand::PageDown;
    case ViewerKey::End: return ViewerCommand::End;
    case ViewerKey::Home: return ViewerCommand::Home;
    case ViewerKey::Left: return ViewerCommand::Left;
    case ViewerKey::Right: return ViewerCommand::Right;
    case ViewerKey::Up: return ViewerCommand::Up;
    case ViewerKey::Down: return ViewerCommand::Down;
    case ViewerKey::Add: return ViewerCommand::StepForward;
    case ViewerKey::Subtract: return ViewerCommand::StepBack;
    default: break;
  }
  switch (std::toupper(key)) {
    case 'D': return ViewerCommand::MaximalRate;
    case 'F': return ViewerCommand::Faster;
    case 'S': return ViewerCommand::Slower;
    case 'T': return ViewerCommand::MeasureFrameRate;
    case 'R': return ViewerCommand::MeasureRendering;
    default: return -1;
  }
}

bool ViewerPlayback::Tick(uint32_t now) {
  if (now - lastFrameTime < uint32_t(delayMs)) return false;
  lastFrameTime = now;
  if (!paused) frame = frame + 1 >= frameCount ? 0 : frame + 1;
  return true;
}

bool ViewerPlayback::Command(int command) {
  const int last = frameCount > 0 ? frameCount - 1 : 0;
  switch (command) {
    case ViewerCommand::Pause: paused = !paused; return true;
    case ViewerCommand::MaximalRate: delayMs = 0; return true;
    case ViewerCommand::Faster: if (delayMs > 0) delayMs = std::max(0, delayMs - 10); return true;
    case ViewerCommand::Slower: delayMs += 10; return true;
    case ViewerCommand::StepForward: if (paused) frame = frame >= last ? 0 : frame + 1; return true;
    case ViewerCommand::StepBack: if (paused) frame = frame <= 0 ? last : frame - 1; return true;
    default: return false;
  }
}

void ViewerPlayback::StartMeasuring(uint32_t now, bool hidden) {
  measuring = true;
  measuringHidden = hidden;
  measuredFrames = 0;
  measureStart = now;
}

std::optional<std::string> ViewerPlayback::FrameDrawn(uint32_t now) {
  if (!measuring || ++measuredFrames < kMeasuredFrames) return std::nullopt;
  measuring = measuringHidden = false;
  const uint32_t elapsed = std::max<uint32_t>(1, now - measureStart);
  char text[64];
  std::snprintf(text, sizeof text, msg::FrameRateFormat, 100000.0 / double(elapsed));
  return std::string(text);
}

void ViewerRotationMatrix(const float angles[3], float m[9]) {
  const float ca = std::cos(angles[0]), sa = std::sin(angles[0]);
  const float cb = std::cos(angles[1]), sb = std::sin(angles[1]);
  const float cg = std::cos(angles[2]), sg = std::sin(angles[2]);
  const float r[9] = {ca * cb, ca * sb * sg - sa * cg, sa * sg + ca * sb * cg,
                      sa * cb, ca * cg + sa * sb * sg, sa * sb * cg - ca * sg,
                      -sb,     cb * sg,                cb * cg};
  std::memcpy(m, r, sizeof r);
}

void ViewerControls::Fit(ZvlBase& scene, ViewerCamera& camera) {
  ViewerFit(scene, camera);
  group = ViewerGroup::Camera;
  lightAzimuth = lightElevation = 0;
  rotation[0] = rotation[1] = rotation[2] = 0;
  const float* d = scene.state().shadowDirection;
  const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  shadowA = length > 0 ? std::acos(d[2] / length) : 0;
  shadowB = std::atan2(d[1], d[0]);
}

bool ViewerControls::Key(int command, ZvlBase& scene, ViewerCamera& camera) {
  namespace C = ViewerCommand;
  const float step = kViewerAngleStep;
  SceneState& s = scene.state();
  auto sign = [&](int plus, int minus) { return command == plus ? 1.0f : command == minus ? -1.0f : 0.0f; };
  switch (group) {
    case ViewerGroup::Camera: {
      const float d = camera.distanceStep;
      camera.azimuth += step * sign(C::Left, C::Right);
      camera.elevation += step * sign(C::Up, C::Down);
      camera.distance += d * sign(C::End, C::Home) + 0.5f * d * sign(C::PageDown, C::PageUp);
      camera.distance = std::max(camera.distance, 0.0f);
      camera.Orbit();
      return true;
    }
    case ViewerGroup::Light:
      if (command == C::Home || command == C::End) {
        lightAzimuth = lightElevation = 0;
      } else {
        lightAzimuth += step * sign(C::Left, C::Right);
        lightElevation += step * sign(C::Up, C::Down);
      }
      s.light[0] = std::sin(lightAzimuth) * std::cos(lightElevation);
      s.light[1] = std::sin(lightElevation);
      s.light[2] = std::cos(lightAzimuth) * std::cos(lightElevation);
      return true;
    case ViewerGroup::Shadow:
      if (command == C::Home || command == C::End || command == C::PageUp || command == C::PageDown) {
        s.shadowsOn = !s.shadowsOn;
        return true;
      }
      shadowA += step * sign(C::Left, C::Right);
      shadowB += step * sign(C::Up, C::Down);
      s.shadowDirection[0] = std::sin(shadowA) * std::cos(shadowB);
      s.shadowDirection[1] = std::sin(shadowA) * std::sin(shadowB);
      s.shadowDirection[2] = std::cos(shadowA);
      return true;
    case ViewerGroup::Position: {
      const float p = camera.distanceStep * 0.125f;
      s.worldOffset[0] += p * sign(C::Left, C::Right);
      s.worldOffset[1] += p * sign(C::Up, C::Down);
      s.worldOffset[2] += p * sign(C::Home, C::End) + 0.1f * p * sign(C::PageUp, C::PageDown);
      return true;
    }
    case ViewerGroup::Rotation:
      rotation[0] += step * sign(C::Left, C::Right);
      rotation[2] += step * sign(C::Up, C::Down);
      rotation[1] += step * sign(C::Home, C::End);
      ViewerRotationMatrix(rotation, s.worldMatrix);
      return true;
  }
  return false;
}

namespace {

int FindByName(const ZorvelDatabase& db, const char* name) {
  for (int i = 0; i < db.objectCount; ++i)
    if (db.objectNames && db.objectNames[i] && name && std::strcmp(db.objectNames[i], name) == 0) return i;
  return -1;
}

}  // namespace

int CombineDatabases(ZorvelDatabase& first, ZorvelDatabase& second, int mode, std::string& error) {
  const bool animation = mode == 1;
  if (first.objectCount != second.objectCount) {
    error = animation ? msg::AnimationCountMismatch : msg::GeometryCountMismatch;
    return -1;
  }
  if (!(animation ? first.colorTable : second.colorTable)) {
    error = msg::No16BitGradient;
    return -1;
  }
  if (animation ? (!first.animation || !second.animation) : (!first.geometry || !second.geometry)) {
    error = animation ? msg::AnimationObjectNotFound : msg::GeometryObjectNotFound;
    return -1;
  }
  // Every pair is found before anything moves, so a failure changes nothing.
  std::vector<int> pair(size_t(first.objectCount));
  for (int i = 0; i < first.objectCount; ++i) {
    pair[size_t(i)] = FindByName(second, first.objectNames ? first.objectNames[i] : nullptr);
    if (pair[size_t(i)] < 0) {
      error = animation ? msg::AnimationObjectNotFound : msg::GeometryObjectNotFound;
      return -1;
    }
  }
  // Records are exchanged, so that each database still frees what it holds.
  if (animation) {
    std::vector<ObjectAnimation> taken(size_t(first.objectCount));
    for (int i = 0; i < first.objectCount; ++i) taken[size_t(i)] = second.animation[pair[size_t(i)]];
    for (int i = 0; i < first.objectCount; ++i) second.animation[pair[size_t(i)]] = first.animation[i];
    for (int i = 0; i < first.objectCount; ++i) first.animation[i] = taken[size_t(i)];
    std::swap(first.frameCount, second.frameCount);
  } else {
    std::vector<ObjectGeometry> taken(size_t(first.objectCount));
    for (int i = 0; i < first.objectCount; ++i) taken[size_t(i)] = second.geometry[pair[size_t(i)]];
    for (int i = 0; i < first.objectCount; ++i) second.geometry[pair[size_t(i)]] = first.geometry[i];
    for (int i = 0; i < first.objectCount; ++i) first.geometry[i] = taken[size_t(i)];
    std::swap(first.colorTable, second.colorTable);
    std::swap(first.flags, second.flags);
  }
  return 0;
}

std::string ViewerInfoText(const ZvlBase& scene) {
  const ZorvelDatabase* db = scene.database();
  if (!db) return msg::NoFileLoaded;
  long long pixels = 0;
  float pixelSize = 0;
  const SceneState& s = scene.state();
  for (size_t i = 0; i < s.objects.size(); ++i) {
    if (s.objects[i].parts.empty()) continue;
    pixels += s.objects[i].parts[0].head.pixelCount;
    if (i == 0) pixelSize = s.objects[i].parts[0].head.pixelSize;
  }
  const ZvlBox box = scene.sceneBox(0, 1.0f);
  float size[3];
  for (int k = 0; k < 3; ++k) size[k] = box.max[k] - box.min[k];
  auto pixelsOf = [&](float v) { return short(pixelSize > 0 ? std::clamp(v / pixelSize, -32768.0f, 32767.0f) : 0); };
  char text[512];
  std::snprintf(text, sizeof text,
                "File version        : %4.1f\nNumber of parts     : %d\nNumber of frames    : %d\n"
                "Number of 3D pixels : %lld\nSize in 3DS units   : (%.2f,%.2f,%.2f)\nSize in 3D pixels   : (%hd,%hd,%hd)\n",
                double(db->version), db->objectCount, db->frameCount, pixels, double(size[0]), double(size[1]),
                double(size[2]), pixelsOf(size[0]), pixelsOf(size[1]), pixelsOf(size[2]));
  return text;
}

}  // namespace zvlplay
