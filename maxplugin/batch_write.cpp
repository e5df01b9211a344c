// The panel's settings as a one-job batch file, written through a temporary
// file beside the target.
#include <algorithm>
#include <cstdio>
#include <string>

#include "maxplugin/batch.h"
#include "maxplugin/batch_messages.h"
#include "maxplugin/contents.h"
#include "maxplugin/messages.h"
#include "maxplugin/start.h"
#include "zvlfile/zvlfile.h"

namespace zvlplay {
namespace {

void Append(std::string& out, const char* format, auto... values) {
  char text[2048];
  const int n = std::snprintf(text, sizeof text, format, values...);
  if (n > 0) out.append(text, size_t(std::min(n, int(sizeof text) - 1)));
}

}  // namespace

std::string FormatBatchFile(const PanelSettings& panel, Interface& ip, const std::vector<std::string>& objectNames) {
  const uint32_t contents = panel.Contents();
  const bool palette = panel.paletteFileOn && !panel.paletteFile.empty();
  const bool output = panel.outputFileOn && !panel.outputFile.empty();
  std::string out;
  // A folder line is left out when there is no folder: the reader keeps its
  // own then.
  if (palette && !PathFolder(panel.paletteFile).empty())
    Append(out, "%s %s\n", "PALETTE_PATH", std::string(PathFolder(panel.paletteFile)).c_str());
  const std::string scenePath(PathFolder(ip.GetCurFilePath().data()));
  if (!scenePath.empty()) Append(out, "%s %s\n", "SCENE_PATH", scenePath.c_str());
  if (output && !PathFolder(panel.outputFile).empty())
    Append(out, "%s %s\n", "OUTPUT_PATH", std::string(PathFolder(panel.outputFile)).c_str());
  Append(out, "%s\n", "BEGIN_JOB");
  const std::string outName(output ? PathName(panel.outputFile) : std::string_view(msg::TemporaryFileName));
  Append(out, "%s %s\n", "OUT_FILE", outName.c_str());
  if (palette) {
    Append(out, "%s %s", "PALETTE", std::string(PathName(panel.paletteFile)).c_str());
    if (!panel.PaletteIsZvl()) Append(out, " %s %d %s %d", "START_COL", panel.startColor, "END_COL", panel.endColor);
    out += '\n';
  }
  Append(out, "%s", "CONTENTS");
  const std::pair<uint32_t, const char*> words[] = {
      {kContents8BitGradient, "8BIT_GRAD"}, {kContents16BitGradient, "16BIT_GRAD"}, {kContentsGeometry, "GEOMETRY"},
      {kContentsAnimation, "ANIMATION"},    {kContentsHierarchy, "HIERARCHY"},     {kContentsStreamable, "STREAMABLE"}};
  for (const auto& [bit, word] : words)
    if (contents & bit) Append(out, " %s", word);
  out += '\n';
  if (panel.localFromFrame)
    Append(out, "%s %s %d\n", "GET_LCS_FROM", "FRAME", panel.localFrame);
  else
    Append(out, "%s %s\n", "GET_LCS_FROM", "LOCAL");
  const int levels = std::clamp(panel.levels, 1, kMaxLevels);
  if (contents & kContentsGeometry) {
    Append(out, "%s %f\n", "UNITS", double(panel.units));
    Append(out, "%s %d\n", "LEVELS", levels);
    Append(out, "%s %f\n", "FACTOR", double(kPanelLevelFactor));
    Append(out, "%s %d\n", "SMOOTH", panel.smooth);
    Append(out, "%s %f\n", "SMOOTH_STEP", double(kPanelLevelFactor));
    const LodParameters lod = PanelLodParameters(panel.units, levels, panel.smooth);
    for (const std::string& name : objectNames) {
      Append(out, "%s %s %s", "OBJECT", name.c_str(), "UNITS");
      for (const float u : lod.units) Append(out, " %f", double(u));
      Append(out, "\n%s", "OBJ_SMOOTH");
      for (const int s : lod.smoothing) Append(out, " %d", s);
      out += '\n';
    }
  } else if (contents & kContentsAnimation) {
    for (const std::string& name : objectNames) Append(out, "%s %s\n", "OBJECT", name.c_str());
  }
  if (contents & kContentsAnimation) {
    Append(out, "%s", "ANIMATION");
    const SceneFrames frames = GetSceneFrames(ip);
    switch (panel.timeMode) {
      case TimeMode::Single:
        Append(out, " %s %d\n", "FRAMES", frames.current);
        break;
      case TimeMode::ActiveSegment:
        // Every Nth frame of the segment keeps its step.
        if (panel.everyNth <= 1)
          Append(out, " %s\n", "ALL");
        else
          Append(out, " %s %d %s %d %s %d\n", "FROM", frames.first, "TO", frames.last, "STEP", panel.everyNth);
        break;
      case TimeMode::Range:
        Append(out, " %s %d %s %d %s %d\n", "FROM", panel.rangeFrom, "TO", panel.rangeTo, "STEP", std::max(1, panel.everyNth));
        break;
      case TimeMode::Frames: {
        // The list is one token: blanks in it are dropped.
        std::string list = panel.frameList;
        std::erase_if(list, [](char c) { return c == ' ' || c == '\t'; });
        Append(out, " %s %s\n", "FRAMES", list.empty() ? "0" : list.c_str());
        break;
      }
    }
  }
  Append(out, "%s\n", "END_JOB");
  return out;
}

int WriteBatchFile(const std::string& path, const PanelSettings& panel, Interface& ip,
                   const std::vector<std::string>& objectNames, std::string& error) {
  const std::string text = FormatBatchFile(panel, ip, objectNames);
  bool opened = false;
  const int result = ZvlWriteFileReplacing(path, [&](ZvlHandle handle) {
    opened = true;
    return ZvlCheckedWrite(handle, text.data(), long(text.size())) == long(text.size()) ? 0 : ZvlFailure;
  });
  if (result == 0) return 0;
  error = opened ? msg::ErrorWritingBatch : std::string(msg::CantCreateFile) + " " + path;
  return -1;
}

}  // namespace zvlplay
