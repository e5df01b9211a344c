// What the "Zorvelate" button does before and after a conversion, without
// windows: the frames and the converter's options from the settings, the
// output file, "Default" from the scene, and which files the viewer shows
// afterwards.
#pragma once

#include <string>
#include <vector>

#include "maxplugin/converter.h"
#include "maxplugin/settings.h"

namespace zvlplay {

// The scene's first and last frame and its current frame.
struct SceneFrames {
  int first = 0, last = 0, current = 0;
};
SceneFrames GetSceneFrames(Interface& ip);

// The frames the settings select: by time mode with animation, else the
// scene's first frame only.
std::vector<int> SelectedFrames(const PanelSettings& settings, const SceneFrames& frames);

// The converter's options for the settings.
ConverterOptions MakeConverterOptions(const PanelSettings& settings, Interface& ip);

// The chosen output file when "Save File" is set, else TMPFILE.ZVL in the
// host's folder for temporary files.
std::string OutputPath(const PanelSettings& settings, Interface& ip);

// "Default": the table's values, then units from the scene's size (1 % of it,
// the spinner step 10 % of those) and the frames from the scene. The scene
// size comes from a converter's walk; when it fails (reported), the units
// stay at their table value. 0 or -1.
int ApplyDefaults(PanelSettings& settings, Interface& ip, ZvlPlayConverter& converter);

// The files the viewer opens after a successful run: none, the output, or the
// output and the merge file.
struct ViewerRequest {
  bool open = false;
  std::string first, second;
};
ViewerRequest DecideViewer(const PanelSettings& settings, const std::string& outputPath);

}  // namespace zvlplay
