// Every message text of maxhost, spelled once. Tests compare against these
// constants.
#pragma once

namespace maxhost::msg {

inline constexpr const char* ProgramName = "maxhost";
inline constexpr const char* ErrorCaption = "Error";
inline constexpr const char* WarningCaption = "Warning";

// Loading scenes ("%s: %s" with the node or material name where one is named).
inline constexpr const char* NoScene = "The file holds no scene";
inline constexpr const char* FaceNotTriangle = "a face does not have three corners";
inline constexpr const char* TextureNotFound = "texture cannot be read";
inline constexpr const char* TooDeep = "The node tree is nested too deeply";

// Loading plug-ins ("%s: %s" with the file).
inline constexpr const char* PluginNotLoaded = "cannot be loaded";
inline constexpr const char* PluginMissingExport = "lacks the export";
inline constexpr const char* PluginNoClasses = "offers no classes";

// The window.
inline constexpr const char* UtilitiesTitle = "Utilities";
inline constexpr const char* OpenSceneTitle = "Open Scene";
inline constexpr const char* SceneFilter = "Scenes (*.gltf *.glb *.fbx *.dae *.obj *.3ds *.ply *.blend);;All files (*)";

}  // namespace maxhost::msg
