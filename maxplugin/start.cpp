#include "maxplugin/start.h"

#include <algorithm>
#include <filesystem>

#include "maxplugin/contents.h"
#include "maxplugin/frame_range.h"
#include "maxplugin/messages.h"

namespace zvlplay {

SceneFrames GetSceneFrames(Interface& ip) {
  const int tpf = std::max(1, ip.GetTicksPerFrame());
  const Interval range = ip.GetAnimRange();
  return {range.Start() / tpf, std::max(range.Start(), range.End()) / tpf, ip.GetTime() / tpf};
}

std::vector<int> SelectedFrames(const PanelSettings& s, const SceneFrames& f) {
  if (!s.animation) return {f.first};
  switch (s.timeMode) {
    case TimeMode::Single:
      return {f.current};
    case TimeMode::ActiveSegment:
      return FrameRange::FromRange(f.first, f.last, f.first, f.last, s.everyNth).Frames();
    case TimeMode::Range:
      return FrameRange::FromRange(f.first, f.last, s.rangeFrom, s.rangeTo, s.everyNth).Frames();
    case TimeMode::Frames:
      return FrameRange::FromList(f.first, f.last, s.frameList).Frames();
  }
  return {f.first};
}

ConverterOptions MakeConverterOptions(const PanelSettings& s, Interface& ip) {
  ConverterOptions o;
  o.contents = s.Contents();
  o.frames = SelectedFrames(s, GetSceneFrames(ip));
  o.localFromFrame = s.localFromFrame;
  o.lcsFrame = s.localFrame;
  if (s.paletteFileOn) o.palettePath = s.paletteFile;
  o.startColor = s.startColor;
  o.endColor = s.endColor;
  o.lod = PanelLodParameters(s.units, s.levels, s.smooth);
  return o;
}

std::string OutputPath(const PanelSettings& s, Interface& ip) {
  if (s.outputFileOn && !s.outputFile.empty()) return s.outputFile;
  return (std::filesystem::path(ip.GetTempDir()) / msg::TemporaryFileName).string();
}

int ApplyDefaults(PanelSettings& s, Interface& ip, ZvlPlayConverter& converter) {
  PanelSettings fresh;
  const SceneFrames frames = GetSceneFrames(ip);
  fresh.sceneFirst = frames.first;
  fresh.sceneLast = frames.last;
  fresh.rangeFrom = frames.first;
  fresh.rangeTo = frames.last;
  fresh.localFrame = frames.first;
  converter.options.contents = fresh.Contents();
  converter.options.localFromFrame = false;
  float size = 0;
  const int result = converter.CollectNodes() == 0 && converter.SceneSize(size) == 0 && size > 0 ? 0 : -1;
  if (result == 0) {
    fresh.units = size * 0.01f;
    fresh.unitsStep = fresh.units * 0.1f;
    fresh.defaultUnits = fresh.units;
  }
  s = fresh;
  return result;
}

ViewerRequest DecideViewer(const PanelSettings& s, const std::string& outputPath) {
  ViewerRequest v;
  if (s.playFileOn && (s.geometry || s.animation)) {
    v.open = true;
    v.first = outputPath;
    v.second = s.playFile;
  } else if (s.geometry && (s.gradient8 || s.gradient16)) {
    v.open = true;
    v.first = outputPath;
  }
  return v;
}

}  // namespace zvlplay
