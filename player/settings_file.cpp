#include "player/settings_file.h"

#include "zvlfile/io.h"
#include "zvlfile/le.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace zvplay {
namespace {

// Byte offsets of the record's fields.
constexpr size_t OffMagic = 0;
constexpr size_t OffBackground = 4;
constexpr size_t OffShadow = 7;
constexpr size_t OffLight = 10;
constexpr size_t OffWorldMatrix = 13;
constexpr size_t OffWorldOffset = 49;
constexpr size_t OffZero = 61;  // three zero bytes
constexpr size_t OffElevation = 64;
constexpr size_t OffAzimuth = 68;
constexpr size_t OffTargetHeight = 72;
constexpr size_t OffDistance = 76;
constexpr size_t OffDistanceStep = 80;
constexpr size_t OffFocalDistance = 84;
constexpr size_t OffSceneScale = 88;
constexpr size_t OffShadowsOn = 92;
constexpr size_t OffPerPoint = 96;
constexpr size_t OffLightDirection = 100;
constexpr size_t OffShadowDirection = 112;
static_assert(OffShadowDirection + 12 == SettingsFileSize);

void putRgb(uint8_t* p, Rgb c) {
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
}
Rgb getRgb(const uint8_t* p) { return Rgb{p[0], p[1], p[2]}; }

template <size_t N>
void putFloats(uint8_t* p, const std::array<float, N>& values) {
  for (size_t i = 0; i < N; ++i) zvl::le::putF32(p + 4 * i, values[i]);
}
template <size_t N>
bool getFloats(const uint8_t* p, std::array<float, N>& values) {
  for (size_t i = 0; i < N; ++i) {
    values[i] = zvl::le::f32(p + 4 * i);
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}
bool getFloat(const uint8_t* p, float& value) {
  value = zvl::le::f32(p);
  return std::isfinite(value);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::array<uint8_t, SettingsFileSize> EncodeSettings(const SettingsRecord& r) {
  std::array<uint8_t, SettingsFileSize> bytes{};
  uint8_t* p = bytes.data();
  zvl::le::putI32(p + OffMagic, SettingsMagic);
  putRgb(p + OffBackground, r.background);
  putRgb(p + OffShadow, r.shadow);
  putRgb(p + OffLight, r.light);
  putFloats(p + OffWorldMatrix, r.worldMatrix);
  putFloats(p + OffWorldOffset, r.worldOffset);
  p[OffZero] = p[OffZero + 1] = p[OffZero + 2] = 0;
  zvl::le::putF32(p + OffElevation, r.elevation);
  zvl::le::putF32(p + OffAzimuth, r.azimuth);
  zvl::le::putF32(p + OffTargetHeight, r.targetHeight);
  zvl::le::putF32(p + OffDistance, r.distance);
  zvl::le::putF32(p + OffDistanceStep, r.distanceStep);
  zvl::le::putF32(p + OffFocalDistance, r.focalDistance);
  zvl::le::putF32(p + OffSceneScale, r.sceneScale);
  zvl::le::put32(p + OffShadowsOn, r.shadowsOn ? 1u : 0u);
  zvl::le::put32(p + OffPerPoint, r.perPointPerspective);
  putFloats(p + OffLightDirection, r.lightDirection);
  putFloats(p + OffShadowDirection, r.shadowDirection);
  return bytes;
}

bool DecodeSettings(std::span<const uint8_t> bytes, SettingsRecord& record) {
  if (bytes.size() < SettingsFileSize) return false;
  const uint8_t* p = bytes.data();
  if (zvl::le::i32(p + OffMagic) != SettingsMagic) return false;
  SettingsRecord r;
  r.background = getRgb(p + OffBackground);
  r.shadow = getRgb(p + OffShadow);
  r.light = getRgb(p + OffLight);
  bool ok = getFloats(p + OffWorldMatrix, r.worldMatrix) && getFloats(p + OffWorldOffset, r.worldOffset) &&
            getFloat(p + OffElevation, r.elevation) && getFloat(p + OffAzimuth, r.azimuth) &&
            getFloat(p + OffTargetHeight, r.targetHeight) && getFloat(p + OffDistance, r.distance) &&
            getFloat(p + OffDistanceStep, r.distanceStep) && getFloat(p + OffFocalDistance, r.focalDistance) &&
            getFloat(p + OffSceneScale, r.sceneScale) && getFloats(p + OffLightDirection, r.lightDirection) &&
            getFloats(p + OffShadowDirection, r.shadowDirection);
  if (!ok) return false;
  r.shadowsOn = zvl::le::u32(p + OffShadowsOn) != 0;
  r.perPointPerspective = zvl::le::u32(p + OffPerPoint);
  record = r;
  return true;
}

SettingsResult ReadSettingsFile(const std::string& path, SettingsRecord& record) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return SettingsResult::OpenError;
  std::array<uint8_t, SettingsFileSize> bytes{};
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  return DecodeSettings(std::span<const uint8_t>(bytes.data(), got), record) ? SettingsResult::Ok
                                                                              : SettingsResult::ReadError;
}

SettingsResult WriteSettingsFile(const std::string& path, const SettingsRecord& record) {
  const auto bytes = EncodeSettings(record);
  const int result = ZvlWriteFileReplacing(path, [&](ZvlHandle handle) {
    return ZvlCheckedWrite(handle, bytes.data(), long(bytes.size())) == long(bytes.size()) ? 0 : ZvlFailure;
  });
  return result == 0 ? SettingsResult::Ok : SettingsResult::WriteError;
}

std::string SettingsPathFor(const std::string& scenePath) {
  if (scenePath.size() < 3) return scenePath + SettingsExtension;
  return scenePath.substr(0, scenePath.size() - 3) + SettingsExtension;
}

}  // namespace zvplay
