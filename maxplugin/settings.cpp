#include "maxplugin/settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

#include "maxplugin/contents.h"
#include "maxplugin/lod_parameters.h"
#include "maxplugin/messages.h"
#include "zvlfile/io.h"
#include "zvlfile/le.h"

namespace zvlplay {
namespace {

constexpr size_t kValueCount = 29;
constexpr size_t kStringCount = 6;
// Nothing larger is a settings file: the values and six full strings.
constexpr size_t kMaxFileSize = kValueCount * 4 + kStringCount * (1 + kMaxSettingsString);

struct Writer {
  std::vector<uint8_t>& out;
  void i32(int32_t v) { zvl::le::append32(out, uint32_t(v)); }
  void f32(float v) { zvl::le::appendF32(out, v); }
  bool str(const std::string& s) {
    if (s.size() > kMaxSettingsString) return false;
    out.push_back(uint8_t(s.size()));
    out.insert(out.end(), s.begin(), s.end());
    return true;
  }
};

struct Reader {
  const uint8_t* p;
  size_t left;
  bool ok = true;
  int32_t i32() {
    if (left < 4) return ok = false, 0;
    const int32_t v = zvl::le::i32(p);
    p += 4, left -= 4;
    return v;
  }
  float f32() {
    if (left < 4) return ok = false, 0.0f;
    const float v = zvl::le::f32(p);
    p += 4, left -= 4;
    return v;
  }
  bool flag() {
    const int32_t v = i32();
    if (v != 0 && v != 1) ok = false;
    return v == 1;
  }
  int range(int lo, int hi) {
    const int32_t v = i32();
    if (v < lo || v > hi) ok = false;
    return v;
  }
  std::string str() {
    if (left < 1) return ok = false, std::string();
    const size_t n = *p++;
    --left;
    if (n > left) return ok = false, std::string();
    std::string s(reinterpret_cast<const char*>(p), n);
    p += n, left -= n;
    return s;
  }
};

}  // namespace

bool PanelSettings::PaletteIsZvl() const {
  const size_t dot = paletteFile.find_last_of('.');
  if (dot == std::string::npos) return false;
  std::string ext = paletteFile.substr(dot + 1);
  for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
  return ext == "ZVL";
}

uint32_t PanelSettings::Contents() const {
  uint32_t c = 0;
  if (allObjects && useHidden) c |= kContentsUseHidden;
  if (!allObjects) c |= kContentsSelectedOnly;
  if (gradient8) c |= kContents8BitGradient;
  if (gradient16) c |= kContents16BitGradient;
  if (geometry) c |= kContentsGeometry;
  if (batchInput) c |= kContentsBatchInput;
  if (batchOutput) c |= kContentsBatchOutput;
  if (animation) c |= kContentsAnimation;
  if (paletteFileOn && PaletteIsZvl()) c |= kContentsPaletteIsZvl;
  if (hierarchy) c |= kContentsHierarchy;
  if (streamable) c |= kContentsStreamable;
  return c;
}

void PanelSettings::Normalize() {
  levels = std::clamp(levels, 1, kMaxLevels);
  if (levels < 2) streamable = false;
}

bool EncodeSettings(const PanelSettings& s, std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> out;
  Writer w{out};
  w.i32(s.allObjects);
  w.i32(!s.allObjects);
  w.i32(s.geometry);
  w.i32(s.animation);
  w.i32(s.timeMode == TimeMode::Single);
  w.i32(s.timeMode == TimeMode::ActiveSegment);
  w.i32(s.timeMode == TimeMode::Range);
  w.i32(s.timeMode == TimeMode::Frames);
  w.i32(s.useHidden);
  w.i32(s.gradient8);
  w.i32(s.gradient16);
  w.i32(s.batchInput);
  w.i32(s.batchOutput);
  w.f32(s.units);
  w.f32(s.unitsStep);
  w.i32(s.levels);
  w.i32(s.smooth);
  w.i32(s.startColor);
  w.i32(s.endColor);
  w.i32(s.everyNth);
  w.i32(s.rangeFrom);
  w.i32(s.rangeTo);
  w.i32(s.hierarchy);
  w.i32(s.streamable);
  w.i32(s.paletteFileOn);
  w.i32(s.outputFileOn);
  w.i32(s.playFileOn);
  w.i32(s.localFromFrame);
  w.i32(s.localFrame);
  for (const std::string* str : {&s.outputFile, &s.paletteFile, &s.frameList, &s.playFile, &s.batchOutputFile, &s.batchInputFile})
    if (!w.str(*str)) return false;
  bytes = std::move(out);
  return true;
}

bool DecodeSettings(const uint8_t* bytes, size_t size, PanelSettings& settings) {
  Reader r{bytes, size};
  PanelSettings s = settings;  // what the file does not hold stays
  const bool all = r.flag(), selected = r.flag();
  if (all == selected) r.ok = false;
  s.allObjects = all;
  s.geometry = r.flag();
  s.animation = r.flag();
  const bool modes[4] = {r.flag(), r.flag(), r.flag(), r.flag()};
  if (std::count(modes, modes + 4, true) != 1) r.ok = false;
  s.timeMode = TimeMode(std::find(modes, modes + 4, true) - modes);
  s.useHidden = r.flag();
  s.gradient8 = r.flag();
  s.gradient16 = r.flag();
  s.batchInput = r.flag();
  s.batchOutput = r.flag();
  s.units = r.f32();
  s.unitsStep = r.f32();
  if (!(s.units > 0) || !std::isfinite(s.units) || !(s.unitsStep > 0) || !std::isfinite(s.unitsStep)) r.ok = false;
  s.levels = r.range(1, kMaxLevels);
  s.smooth = r.range(0, kMaxSmoothing);
  s.startColor = r.range(0, 255);
  s.endColor = r.range(0, 255);
  s.everyNth = r.range(1, INT32_MAX);
  s.rangeFrom = r.i32();
  s.rangeTo = r.i32();
  s.hierarchy = r.flag();
  s.streamable = r.flag();
  s.paletteFileOn = r.flag();
  s.outputFileOn = r.flag();
  s.playFileOn = r.flag();
  s.localFromFrame = r.flag();
  s.localFrame = r.i32();
  for (std::string* str : {&s.outputFile, &s.paletteFile, &s.frameList, &s.playFile, &s.batchOutputFile, &s.batchInputFile})
    *str = r.str();
  if (!r.ok || r.left != 0) return false;
  s.Normalize();
  settings = std::move(s);
  return true;
}

int SaveSettingsFile(const std::string& path, const PanelSettings& settings, std::string& error) {
  std::vector<uint8_t> bytes;
  const bool encoded = EncodeSettings(settings, bytes);
  if (!encoded || ZvlWriteFileReplacing(path, [&](ZvlHandle h) {
        return ZvlCheckedWrite(h, bytes.data(), long(bytes.size())) == long(bytes.size()) ? 0 : -1;
      }) != 0) {
    error = msg::ErrorWritingSettings;
    return -1;
  }
  return 0;
}

int LoadSettingsFile(const std::string& path, PanelSettings& settings, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes;
  if (in) {
    char buffer[4096];
    while (in && bytes.size() <= kMaxFileSize) {
      in.read(buffer, sizeof buffer);
      bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    }
  }
  if (!in.eof() || bytes.size() > kMaxFileSize || !DecodeSettings(bytes.data(), bytes.size(), settings)) {
    error = msg::ErrorReadingSettings;
    return -1;
  }
  return 0;
}

}  // namespace zvlplay
