// The panel's settings: one record shared by the panel, the settings dialog
// and the conversion, its defaults, the contents flags composed from it,
// and its "zst" file (29 four-byte values, then six strings of a length
// byte and that many bytes; little-endian).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zvlplay {

enum class TimeMode : uint8_t { Single, ActiveSegment, Range, Frames };

inline constexpr const char* kSettingsExtension = "zst";
inline constexpr size_t kMaxFrameListLength = 1024;
inline constexpr size_t kMaxSettingsString = 255;

struct PanelSettings {
  bool allObjects = true;   // else the selection
  bool geometry = true;
  bool animation = true;
  TimeMode timeMode = TimeMode::ActiveSegment;
  bool useHidden = false;
  bool gradient8 = true;
  bool gradient16 = true;
  bool batchInput = false;
  bool batchOutput = false;
  float units = 1.0f;
  float unitsStep = 0.1f;
  int levels = 1;           // 1 .. 15
  int smooth = 0;           // 0 .. 10
  int startColor = 10;      // 0 .. 255
  int endColor = 245;
  int everyNth = 1;
  int rangeFrom = 0;
  int rangeTo = 100;
  bool hierarchy = false;
  bool streamable = false;  // only with 2 or more levels
  bool paletteFileOn = false;
  bool outputFileOn = false;
  bool playFileOn = false;
  bool localFromFrame = false;
  int localFrame = 0;
  std::string outputFile, paletteFile, frameList, playFile, batchOutputFile, batchInputFile;

  // Not in the file: the scene's default units, and the frames of the
  // scene's active segment.
  float defaultUnits = 1.0f;
  int sceneFirst = 0, sceneLast = 100;

  // A palette file whose extension is "zvl" (any case).
  bool PaletteIsZvl() const;
  uint32_t Contents() const;
  // Keeps the rules between controls: streamable needs two levels.
  void Normalize();
};

// The file's bytes, and the settings from them. Decoding takes the whole
// file or nothing: a short, long or damaged file leaves `settings` as it was.
// Encoding fails (false) when a string is longer than 255 bytes.
bool EncodeSettings(const PanelSettings& settings, std::vector<uint8_t>& bytes);
bool DecodeSettings(const uint8_t* bytes, size_t size, PanelSettings& settings);

// Through a temporary file beside the target. 0, or -1 with the message.
int SaveSettingsFile(const std::string& path, const PanelSettings& settings, std::string& error);
int LoadSettingsFile(const std::string& path, PanelSettings& settings, std::string& error);

}  // namespace zvlplay
