#include "player/player_engine.h"

#include "player/color_modes.h"
#include "player/messages.h"
#include "player/start_picture.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace zvplay {

int64_t HostCallbacks::nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void HostCallbacks::debugOutput(const char* text) { std::fputs(text, stderr); }

namespace {

bool HasZvlExtension(const std::string& path) {
  if (path.size() < 3) return false;
  const char* end = path.c_str() + path.size() - 3;
  return std::tolower(static_cast<unsigned char>(end[0])) == 'z' &&
         std::tolower(static_cast<unsigned char>(end[1])) == 'v' &&
         std::tolower(static_cast<unsigned char>(end[2])) == 'l';
}

ZvlKeyGroup GroupOfState(int index) {
  switch (index) {
    case state::KeyLight: return ZvlKeyGroup::Light;
    case state::KeyShadow: return ZvlKeyGroup::Shadow;
    case state::KeySceneRotation: return ZvlKeyGroup::ModelRotation;
    case state::KeyScenePosition: return ZvlKeyGroup::ScenePosition;
    default: return ZvlKeyGroup::Camera;
  }
}

}  // namespace

PlayerEngine::PlayerEngine(HostCallbacks& host, PixelFormat format) : host_(host), format_(format) {
  controlState_.fill(StateDisabled);
}

PlayerEngine::~PlayerEngine() = default;

// ---------------------------------------------------------------------------
// ControlState

void PlayerEngine::setState(int index, int value) { controlState_[size_t(index)] = value; }

void PlayerEngine::setExclusive(int first, int last, int chosen) {
  for (int i = first; i <= last; ++i) setState(i, i == chosen ? StateOn : StateOff);
}

void PlayerEngine::enableAllStates() {
  for (int& s : controlState_)
    if (s == StateDisabled) s = StateOff;
}

void PlayerEngine::disableAllStates() { controlState_.fill(StateDisabled); }

void PlayerEngine::selectKeyGroup(int index) {
  setExclusive(state::FirstKeyGroup, state::LastKeyGroup, index);
}

ZvlKeyGroup PlayerEngine::keyGroup() const {
  for (int i = state::FirstKeyGroup; i <= state::LastKeyGroup; ++i)
    if (state(i) == StateOn) return GroupOfState(i);
  return ZvlKeyGroup::Camera;
}

void PlayerEngine::syncDrawModeStates() {
  if (!scene_) return;
  switch (scene_->state().drawMode) {
    case DrawMode::Pack: setExclusive(state::DrawFill, state::DrawPack, state::DrawPack); break;
    case DrawMode::Fill: setExclusive(state::DrawFill, state::DrawPack, state::DrawFill); break;
    case DrawMode::Stretch: setExclusive(state::DrawFill, state::DrawPack, state::DrawStretch); break;
  }
}

void PlayerEngine::stopPlayback() {
  setState(state::Stopped, StateOn);
  setState(state::Playing, StateOff);
  host_.stateOn(state::Stopped);
  host_.stateOff(state::Playing);
}

int PlayerEngine::frameCount() const { return scene_ ? std::max(scene_->state().frameCount, 0) : 0; }

void PlayerEngine::setFrame(int frame) {
  frame_ = std::clamp(frame, 0, lastFrame());
  if (scene_) scene_->setFrame(frame_);
}

ImageView16 PlayerEngine::image() {
  return ImageView16{view_.pixels(), view_.width(), view_.height(), view_.pitch(), format_};
}

PixelFormat PlayerEngine::tableFormat() const {
  return scene_ && scene_->colorModel() == 0xF800 ? PixelFormat::Rgb565 : PixelFormat::Rgb555;
}

// ---------------------------------------------------------------------------
// The output image

void PlayerEngine::fillBackground() { view_.fillAll(backgroundPixel()); }

void PlayerEngine::showAll() {
  if (view_.width() > 0 && view_.height() > 0)
    host_.showImage(ZvlMakeRect(0, 0, view_.width() - 1, view_.height() - 1));
}

void PlayerEngine::drawStartPicture() {
  fillBackground();
  DrawStartPicture(startPicture_, image());
  showAll();
}

void PlayerEngine::fillZbuffer(const ZvlRect* rect) {
  if (rect == nullptr) {
    host_.debugOutput(msg::FillZbufferNull);
    return;
  }
  if (rect->empty()) return;
  if (rect->x0 < 0 || rect->y0 < 0 || rect->x1 >= view_.width() || rect->y1 >= view_.height())
    host_.debugOutput(msg::FillZbufferOutside);  // reported, then cut to the buffer
  view_.fillDepth(*rect, ZvlDepthBackground);
}

void PlayerEngine::attach(int width, int height, std::span<const uint8_t> startPicture) {
  startPicture_.assign(startPicture.begin(), startPicture.end());
  if (!view_.create(std::max(width, 1), std::max(height, 1), format_ == PixelFormat::Rgb565, false))
    host_.showMessage(msg::CaptionImage, msg::CannotCreateDibSection);
  shadowTable_.assign(ZvlShadowTableSize16, PackPixel(shadow_, format_));
  if (ZvlSetup(&ZvlDefaultIoFunctions()) != 0) host_.showMessage(msg::CaptionEngine, ZvlGetErrorText());
  attached_ = true;
  disableAllStates();
  if (!startFile_.empty()) {
    const std::string path = std::move(startFile_);
    startFile_.clear();
    if (openFile(path)) return;
  }
  if (!scene_) {
    disableAllStates();
    drawStartPicture();
    host_.statesChanged();
  }
}

void PlayerEngine::resize(int width, int height) {
  if (!attached_ || width < 1 || height < 1) return;  // minimised: keep the image
  recreating_ = true;
  const bool ok = view_.create(width, height, format_ == PixelFormat::Rgb565, true);
  recreating_ = false;
  if (!ok) {
    host_.showMessage(msg::CaptionImage, msg::CannotCreateDibSection);
    return;
  }
  if (scene_) {
    fillBackground();
    showAll();
  } else {
    drawStartPicture();
  }
  resetRequest_ = true;
}

// ---------------------------------------------------------------------------
// Colours and colour tables

void PlayerEngine::applyShadowColor() {
  std::fill(shadowTable_.begin(), shadowTable_.end(), PackPixel(shadow_, format_));
  if (scene_) scene_->setShadowTable(shadowTable_);
}

void PlayerEngine::restoreColorTable() {
  if (!scene_) return;
  auto table = scene_->colorTable16();
  ConvertColorTable(scene_->loadedColorTable(), PixelFormat::Rgb555, tableFormat(), table);
  setExclusive(state::IndexColor, state::HighColor, state::HighColor);
}

void PlayerEngine::applyLightTint() {
  if (!scene_) return;
  TintColorTable(scene_->loadedColorTable(), PixelFormat::Rgb555, light_, tableFormat(), scene_->colorTable16());
  setExclusive(state::IndexColor, state::HighColor, state::HighColor);
}

bool PlayerEngine::indexColorTable() {
  const ZorvelDatabase* db = scene_ ? scene_->database() : nullptr;
  if (db == nullptr || db->palette == nullptr) {
    host_.showMessage(msg::CaptionEngine, msg::NoPalette);
    return false;
  }
  BuildIndexColorTable(*db->palette, tableFormat(), scene_->colorTable16());
  setExclusive(state::IndexColor, state::HighColor, state::IndexColor);
  return true;
}

void PlayerEngine::fitDefault() {
  scene_->fitToView(DefaultFocalDistance, fitScale_);
  scene_->lightElevation = scene_->lightAzimuth = 0.0f;
  scene_->shadowElevation = scene_->shadowAzimuth = 0.0f;
  syncDrawModeStates();
}

// ---------------------------------------------------------------------------
// Files

bool PlayerEngine::readScene(const std::string& path, std::unique_ptr<ZvlBase>& base) {
  base = std::make_unique<ZvlBase>();
  base->setMessageHandler([this](const char* text) { host_.showMessage(msg::CaptionEngine, text); });
  if (base->load(path.c_str()) != 0) {
    host_.showMessage(msg::CaptionEngine, msg::ReadingFileError, ZvlGetErrorText());
    base.reset();
    return false;
  }
  return true;
}

bool PlayerEngine::openFile(const std::string& path) {
  if (attachPending_) return attachAnimation(path);
  if (!HasZvlExtension(path)) {
    host_.showMessage(msg::CaptionError, msg::InvalidExtension);
    return false;
  }
  std::unique_ptr<ZvlBase> base;
  if (!readScene(path, base)) return false;
  if (!base->hasGeometry()) {
    host_.showMessage(msg::CaptionError, msg::NoGeometry);
    return false;
  }

  scene_ = std::move(base);
  scene_->setCamera(&view_);
  scene_->setShadowTable(shadowTable_);
  // Bind once now so that the colour table exists in the image's model.
  scene_->bind(view_.output());
  filePath_ = path;
  linkFrames_ = scene_->database()->frameCount;
  timing_.setTargetRate(MaximumRate);
  frame_ = 0;
  scene_->setFrame(0);
  previousRect_ = lastDrawn_ = ZvlEmptyRect;
  dragging_ = false;

  settingsPath_ = SettingsPathFor(path);
  if (!opened_) {
    opened_ = true;
    enableAllStates();
    setState(state::AutoRepeat, StateOn);
    setState(state::Shadows, StateOn);
    setState(state::Distortion, StateOn);
    selectKeyGroup(state::KeyCamera);
  }
  setState(state::Stopped, StateOn);
  setState(state::Playing, StateOff);
  setExclusive(state::IndexColor, state::HighColor, state::HighColor);

  // The settings file beside the scene, when there is one, places the scene
  // and the camera; otherwise the scene is fitted with the defaults. A file
  // that cannot be read is reported and treated as missing, so that the
  // scene is still fitted and the whole window filled.
  frozen_ = false;
  view_.camera.perPointPerspective = state(state::Distortion) == StateOn ? 1 : 0;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(settingsPath_, ec) || !loadSettingsFrom(settingsPath_)) {
    background_ = DefaultBackground;
    shadow_ = DefaultShadow;
    light_ = DefaultLight;
    applyShadowColor();
    fitDefault();
    scene_->state().shadowsOn = state(state::Shadows) == StateOn;
    view_.orbit();
    fillBackground();
    showAll();
    resetRequest_ = true;
  } else {
    // Settings carry no scene-position step: the one fitting would give at
    // the settings' scale, so that the scene-position keys move the scene.
    scene_->positionStep = scene_->fittedPositionStep();
  }
  syncDrawModeStates();
  host_.statesChanged();
  host_.fileLoaded();
  return true;
}

bool PlayerEngine::attachAnimation(const std::string& path) {
  attachPending_ = false;
  std::unique_ptr<ZvlBase> second;
  if (!readScene(path, second)) return false;
  bool attached = false;
  if (scene_ && second->database() && scene_->database() &&
      second->database()->objectCount == scene_->database()->objectCount) {
    attached = scene_->attachAnimation(*second);
  }
  if (attached) {
    setFrame(0);
  } else {
    host_.showMessage(msg::CaptionError, msg::AttachMismatch);
  }
  fillBackground();
  showAll();
  resetRequest_ = true;
  return attached;
}

namespace {

// Per-frame links hold one entry per frame of the animation the scene was
// read with. While an attached animation with another frame count is in
// place, the writer would take that many entries: for the write, such links
// get arrays of the attached length (the last entry repeated, or no parent),
// and their own arrays are put back afterwards.
class LinkFrameFitter {
 public:
  LinkFrameFitter(ZorvelDatabase& db, int32_t linkFrames) : db_(db) {
    if (db.links == nullptr || db.frameCount == linkFrames) return;
    const size_t frames = size_t(std::max(db.frameCount, 0));
    const size_t own = size_t(std::max(linkFrames, 0));
    for (int32_t i = 0; i < db.objectCount; ++i) {
      ObjectLink& link = db.links[i];
      if ((link.linkFlags & ZvlLinkAnimated) == 0) continue;
      Saved saved{i, link.parents, link.pivots, {}, {}};
      if (link.parents) {
        saved.parents.assign(frames, -1);
        for (size_t f = 0; f < frames && own > 0; ++f) saved.parents[f] = link.parents[std::min(f, own - 1)];
        link.parents = saved.parents.data();
      }
      if (link.pivots) {
        saved.pivots.assign(frames * 3, 0.0f);
        for (size_t f = 0; f < frames && own > 0; ++f)
          std::copy_n(link.pivots + 3 * std::min(f, own - 1), 3, saved.pivots.begin() + std::ptrdiff_t(3 * f));
        link.pivots = saved.pivots.data();
      }
      saved_.push_back(std::move(saved));
    }
  }
  ~LinkFrameFitter() {
    for (Saved& s : saved_) {
      db_.links[s.object].parents = s.ownParents;
      db_.links[s.object].pivots = s.ownPivots;
    }
  }
  LinkFrameFitter(const LinkFrameFitter&) = delete;
  LinkFrameFitter& operator=(const LinkFrameFitter&) = delete;

 private:
  struct Saved {
    int32_t object;
    int32_t* ownParents;
    float* ownPivots;
    std::vector<int32_t> parents;
    std::vector<float> pivots;
  };
  ZorvelDatabase& db_;
  std::vector<Saved> saved_;
};

}  // namespace

bool PlayerEngine::saveFile(const std::string& path) {
  ZorvelDatabase* db = scene_ ? scene_->database() : nullptr;
  if (db == nullptr) return false;
  ZvlSetWriterVersion(ZvlFormatVersion::V8_1);
  int result;
  {
    LinkFrameFitter fitter(*db, linkFrames_);
    result = ZvlWriteDatabaseFile(path.c_str(), *db);
  }
  if (result != 0) {
    host_.showMessage(msg::CaptionError, msg::WriteFileError, ZvlGetErrorText());
    return false;
  }
  filePath_ = path;
  return true;
}

// ---------------------------------------------------------------------------
// Settings

SettingsRecord PlayerEngine::currentSettings() const {
  SettingsRecord r;
  r.background = background_;
  r.shadow = shadow_;
  r.light = light_;
  const Camera& c = view_.camera;
  r.elevation = c.elevation;
  r.azimuth = c.azimuth;
  r.targetHeight = c.targetHeight;
  r.distance = c.distance;
  r.distanceStep = c.distanceStep;
  r.focalDistance = c.focalDistance;
  r.perPointPerspective = c.perPointPerspective;
  r.shadowsOn = state(state::Shadows) == StateOn;
  if (scene_) {
    const SceneState& s = scene_->state();
    std::copy(std::begin(s.worldMatrix), std::end(s.worldMatrix), r.worldMatrix.begin());
    std::copy(std::begin(s.worldOffset), std::end(s.worldOffset), r.worldOffset.begin());
    std::copy(std::begin(s.light), std::end(s.light), r.lightDirection.begin());
    std::copy(std::begin(s.shadowDirection), std::end(s.shadowDirection), r.shadowDirection.begin());
    r.sceneScale = s.scale;
  }
  return r;
}

void PlayerEngine::applySettings(const SettingsRecord& r) {
  background_ = r.background;
  shadow_ = r.shadow;
  light_ = r.light;
  Camera& c = view_.camera;
  c.elevation = r.elevation;
  c.azimuth = r.azimuth;
  c.distance = r.distance;
  c.distanceStep = r.distanceStep;
  c.focalDistance = r.focalDistance;
  c.targetHeight = r.targetHeight;
  c.perPointPerspective = r.perPointPerspective;
  if (scene_) {
    SceneState& s = scene_->state();
    std::copy(r.worldMatrix.begin(), r.worldMatrix.end(), s.worldMatrix);
    std::copy(r.worldOffset.begin(), r.worldOffset.end(), s.worldOffset);
    std::copy(r.lightDirection.begin(), r.lightDirection.end(), s.light);
    std::copy(r.shadowDirection.begin(), r.shadowDirection.end(), s.shadowDirection);
    s.scale = r.sceneScale;
    s.shadowsOn = r.shadowsOn;
  }
  setState(state::Shadows, r.shadowsOn ? StateOn : StateOff);
  setState(state::Distortion, r.perPointPerspective != 0 ? StateOn : StateOff);
  view_.orbit();
  fillBackground();
  showAll();
  resetRequest_ = true;
  applyLightTint();
  applyShadowColor();
  host_.statesChanged();
}

bool PlayerEngine::loadSettingsFrom(const std::string& path) {
  SettingsRecord record;
  switch (ReadSettingsFile(path, record)) {
    case SettingsResult::Ok: break;
    case SettingsResult::OpenError: host_.showMessage(msg::CaptionError, msg::OpenFileError); return false;
    default: host_.showMessage(msg::CaptionError, msg::ReadFileError); return false;
  }
  applySettings(record);
  return true;
}

bool PlayerEngine::saveSettingsTo(const std::string& path) {
  if (WriteSettingsFile(path, currentSettings()) != SettingsResult::Ok) {
    host_.showMessage(msg::CaptionError, msg::WriteFileError, ZvlGetErrorText());
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Commands

bool PlayerEngine::command(EngineCommand code) {
  if (!accepting()) return false;
  SceneState& s = scene_->state();
  const int last = lastFrame();
  switch (code) {
    case EngineCommand::GoToStart: setFrame(0); return true;
    case EngineCommand::StepBack: setFrame(frame_ == 0 ? last : frame_ - 1); return true;
    case EngineCommand::Stop: return true;
    case EngineCommand::Play:
      if (frame_ >= last) setFrame(0);
      return true;
    case EngineCommand::StepForward: setFrame(frame_ >= last ? 0 : frame_ + 1); return true;
    case EngineCommand::GoToEnd: setFrame(last); return true;
    case EngineCommand::Slow:
      if (timing_.measuredRate() > 1.0) timing_.setTargetRate(timing_.measuredRate() * 0.9);
      return true;
    case EngineCommand::Fast: timing_.setTargetRate(timing_.measuredRate() * 2.0); return true;
    case EngineCommand::MaxRate: timing_.setTargetRate(MaximumRate); return true;
    case EngineCommand::AutoRepeat:
      if (state(state::AutoRepeat) == StateOn && frame_ >= last) {
        setFrame(0);
        stopPlayback();
      }
      return true;
    case EngineCommand::Properties: return true;
    case EngineCommand::BackgroundColor: {
      const auto chosen = host_.chooseColor(ColorChoice::Background, background_);
      if (!chosen) return false;
      background_ = *chosen;
      fillBackground();
      showAll();
      return true;
    }
    case EngineCommand::ShadowColor: {
      const auto chosen = host_.chooseColor(ColorChoice::Shadow, shadow_);
      if (!chosen) return false;
      shadow_ = *chosen;
      applyShadowColor();
      return true;
    }
    case EngineCommand::LightColor: {
      const auto chosen = host_.chooseColor(ColorChoice::Light, light_);
      if (!chosen) return false;
      light_ = *chosen;
      applyLightTint();
      return true;
    }
    case EngineCommand::DrawFill: s.drawMode = DrawMode::Fill; syncDrawModeStates(); return true;
    case EngineCommand::DrawStretch: s.drawMode = DrawMode::Stretch; syncDrawModeStates(); return true;
    case EngineCommand::DrawPack: s.drawMode = DrawMode::Pack; syncDrawModeStates(); return true;
    case EngineCommand::Shadows: s.shadowsOn = state(state::Shadows) == StateOn; return true;
    case EngineCommand::Distortion:
      view_.camera.perPointPerspective = state(state::Distortion) == StateOn ? 1 : 0;
      return true;
    case EngineCommand::AttachPending: attachPending_ = true; return true;
    case EngineCommand::Default:
      scene_->selectLevel(0);
      fitDefault();
      restoreColorTable();
      s.light[0] = 0.0f, s.light[1] = 0.0f, s.light[2] = 1.0f;
      s.shadowDirection[0] = 0.3f, s.shadowDirection[1] = 0.3f, s.shadowDirection[2] = -1.0f;
      return true;
    case EngineCommand::IndexColor: return indexColorTable();
    case EngineCommand::HighColor: restoreColorTable(); return true;
    case EngineCommand::LoadSettings: {
      const auto path = host_.chooseSettingsFile(false, msg::SettingsDefaultName);
      return path && loadSettingsFrom(*path);
    }
    case EngineCommand::SaveSettings: {
      const auto path = host_.chooseSettingsFile(true, msg::SettingsDefaultName);
      return path && saveSettingsTo(*path);
    }
  }
  return false;
}

// The frame window's own state changes (checks, key groups) happen while the
// display is frozen too; only the EngineCommands are refused then.
bool PlayerEngine::menuCommand(int commandId) {
  if (!scene_) return false;
  bool done = false;
  auto toggle = [this](int index) { setState(index, state(index) == StateOn ? StateOff : StateOn); };
  switch (commandId) {
    case id::Play:
      setState(state::Playing, StateOn);
      setState(state::Stopped, StateOff);
      done = command(EngineCommand::Play);
      break;
    case id::Stop:
      setState(state::Stopped, StateOn);
      setState(state::Playing, StateOff);
      done = command(EngineCommand::Stop);
      break;
    case id::StepForward:
    case id::StepForwardSecond: done = command(EngineCommand::StepForward); break;
    case id::StepBack: done = command(EngineCommand::StepBack); break;
    case id::GoToStart: done = command(EngineCommand::GoToStart); break;
    case id::GoToEnd: done = command(EngineCommand::GoToEnd); break;
    case id::Slow: done = command(EngineCommand::Slow); break;
    case id::Fast: done = command(EngineCommand::Fast); break;
    case id::MaxRate: done = command(EngineCommand::MaxRate); break;
    case id::AutoRepeat:
      toggle(state::AutoRepeat);
      done = command(EngineCommand::AutoRepeat);
      break;
    case id::KeyCamera:
    case id::KeyLight:
    case id::KeyShadow:
    case id::KeySceneRotation:
    case id::KeyScenePosition:
      selectKeyGroup(StateOfCommand(commandId));
      done = true;
      break;
    case id::RenderPack: done = command(EngineCommand::DrawPack); break;
    case id::RenderFill: done = command(EngineCommand::DrawFill); break;
    case id::RenderStretch: done = command(EngineCommand::DrawStretch); break;
    case id::Shadows:
      toggle(state::Shadows);
      done = command(EngineCommand::Shadows);
      break;
    case id::Distortion:
      toggle(state::Distortion);
      done = command(EngineCommand::Distortion);
      break;
    case id::BackgroundColor: done = command(EngineCommand::BackgroundColor); break;
    case id::ShadowColor: done = command(EngineCommand::ShadowColor); break;
    case id::LightColor: done = command(EngineCommand::LightColor); break;
    case id::IndexColor: done = command(EngineCommand::IndexColor); break;
    case id::HighColor: done = command(EngineCommand::HighColor); break;
    case id::Default: done = command(EngineCommand::Default); break;
    case id::LoadSettings: done = command(EngineCommand::LoadSettings); break;
    case id::SaveSettings: done = command(EngineCommand::SaveSettings); break;
    default: return false;
  }
  host_.statesChanged();
  return done;
}

PropertiesRecord PlayerEngine::properties() const {
  PropertiesRecord r;
  r.cpuType = ZvlGetCpuType();
  r.areaWidth = lastDrawn_.empty() ? 0 : lastDrawn_.width;
  r.areaHeight = lastDrawn_.empty() ? 0 : lastDrawn_.height;
  const ZorvelDatabase* db = scene_ ? scene_->database() : nullptr;
  if (db == nullptr) return r;
  r.version = db->version;
  r.frameCount = db->frameCount;
  r.bodyParts = db->objectCount;
  r.hasPalette = db->palette != nullptr;
  if (r.hasPalette && db->paletteName != nullptr) r.paletteName = db->paletteName;
  const auto& objects = scene_->state().objects;
  for (size_t i = 0; i < objects.size(); ++i) {
    const SceneObject& o = objects[i];
    if (o.parts.empty()) continue;
    const size_t current = size_t(std::clamp(o.current, 0, int(o.parts.size()) - 1));
    if (i == 0) {
      r.unitsPerPixel = o.parts[current].head.pixelSize;
      r.levels = int(o.parts.size() - current);
    }
    r.pixelCount += o.parts[current].head.pixelCount;
  }
  const ZvlBox box = scene_->sceneBox(frame_, 1.0f);
  for (int k = 0; k < 3; ++k) r.size[size_t(k)] = box.max[k] - box.min[k];
  return r;
}

// ---------------------------------------------------------------------------
// Keys and mouse

void PlayerEngine::keyDown(int key) {
  if (!scene_) return;
  if (key >= KeyDigit0 && key <= KeyDigit0 + 9) {
    scene_->selectLevel(key - KeyDigit0);
    scene_->fitToView(view_.camera.focalDistance, -1.0f);
    syncDrawModeStates();
    host_.statesChanged();
    return;
  }
  if (key == KeyFreeze) {
    frozen_ = !frozen_;
    timing_.restart();
    if (!frozen_) showAll();  // the window catches up with what was drawn meanwhile
    return;
  }
  scene_->handleKey(keyGroup(), key);
}

void PlayerEngine::mousePress(int x, int y) {
  dragging_ = true;
  dragX_ = x;
  dragY_ = y;
}

void PlayerEngine::mouseMove(int x, int y) {
  if (!dragging_ || !scene_) return;
  if (x < dragX_) scene_->rotationKey(ZvlKey::Right);
  if (x > dragX_) scene_->rotationKey(ZvlKey::Left);
  if (y > dragY_) scene_->rotationKey(ZvlKey::Up);
  if (y < dragY_) scene_->rotationKey(ZvlKey::Down);
  dragX_ = x;
  dragY_ = y;
}

void PlayerEngine::mouseRelease() { dragging_ = false; }

// ---------------------------------------------------------------------------
// The frame loop

void PlayerEngine::idle() {
  if (!scene_ || recreating_) return;
  if (resetRequest_) {
    resetRequest_ = false;
    previousRect_ = ZvlEmptyRect;
    timing_.restart();
    return;
  }
  const int64_t now = host_.nowMs();
  if (!timing_.frameDue(now)) return;

  // Erase what the previous frame drew.
  const ZvlRect erased = previousRect_;
  if (!erased.empty()) {
    view_.fillColor(erased, backgroundPixel());
    fillZbuffer(&erased);
  }

  const std::optional<ZvlRect> drawn = scene_->render(view_.output(), frame_);
  if (drawn && !drawn->empty()) {
    if (!frozen_) host_.showImage(ZvlUniteRect(erased, *drawn));
    previousRect_ = *drawn;
    lastDrawn_ = *drawn;
  } else {
    // Nothing on screen now: the erased rectangle still has to reach the
    // window.
    if (!frozen_ && !erased.empty()) host_.showImage(erased);
    previousRect_ = ZvlEmptyRect;
  }

  if (state(state::Playing) == StateOn) {
    if (frame_ < lastFrame()) {
      setFrame(frame_ + 1);
    } else if (state(state::AutoRepeat) == StateOn) {
      setFrame(0);
    } else {
      stopPlayback();
    }
  }

  if (const auto rate = timing_.frameRendered(now)) {
    char text[64];
    std::snprintf(text, sizeof text, msg::FrameRateStored, *rate);
    frameRateStored_ = text;
    std::snprintf(text, sizeof text, msg::FrameRateStatus, *rate);
    host_.frameRateText(text);
  }
}

}  // namespace zvplay
