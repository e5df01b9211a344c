// The player's settings file (extension "zsi"): 124 bytes, little-endian,
// the magic 1987 followed by a 120-byte record of colours, the world
// transform, the camera, the scene scale, and the light and shadow
// directions.
#pragma once

#include "player/pixel_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace zvplay {

inline constexpr size_t SettingsFileSize = 124;
inline constexpr int32_t SettingsMagic = 1987;
inline constexpr const char* SettingsExtension = "zsi";

struct SettingsRecord {
  Rgb background;
  Rgb shadow;
  Rgb light;
  std::array<float, 9> worldMatrix{};  // row by row
  std::array<float, 3> worldOffset{};
  float elevation = 0;     // camera, radians
  float azimuth = 0;       // camera, radians
  float targetHeight = 0;
  float distance = 0;
  float distanceStep = 0;
  float focalDistance = 0;  // D
  float sceneScale = 0;     // S
  bool shadowsOn = false;
  uint32_t perPointPerspective = 0;
  std::array<float, 3> lightDirection{};
  std::array<float, 3> shadowDirection{};
  friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

std::array<uint8_t, SettingsFileSize> EncodeSettings(const SettingsRecord& record);

// Decodes the first 124 bytes. False (record untouched) when fewer bytes
// are given, the magic is another, or a float is not finite.
bool DecodeSettings(std::span<const uint8_t> bytes, SettingsRecord& record);

enum class SettingsResult { Ok, OpenError, ReadError, WriteError };

// Reads a settings file. OpenError when it cannot be opened, ReadError when
// DecodeSettings refuses it; the record is changed only on Ok.
SettingsResult ReadSettingsFile(const std::string& path, SettingsRecord& record);

// Writes a settings file through a temporary file beside it, so that a
// failed write leaves whatever was there. Ok or WriteError.
SettingsResult WriteSettingsFile(const std::string& path, const SettingsRecord& record);

// The settings file beside a scene: the path with its last three
// characters replaced by "zsi".
std::string SettingsPathFor(const std::string& scenePath);

}  // namespace zvplay
