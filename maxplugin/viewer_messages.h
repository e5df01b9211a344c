// Every message and caption of the viewer and the preview window, spelled once.
#pragma once

namespace zvlplay::msg {

inline constexpr const char* ViewerTitle = "Zorvel Player";
inline constexpr const char* ViewerMenuName = "ZVL_PLAY";
inline constexpr const char* PreviewTitle = "Zorvelation";
inline constexpr const char* NoRoomForBuffers = "No room for buffers";
inline constexpr const char* CantGetScnHandler = "Can not get scn handler";
inline constexpr const char* NoRoomForVisualization = "No room for visualization buffer";
inline constexpr const char* AnimationCountMismatch = "Can't attach animation - number of objects mismatch";
inline constexpr const char* AnimationObjectNotFound = "Can't attach animation - object not found";
inline constexpr const char* GeometryCountMismatch = "Can't attach geometry - number of objects mismatch";
inline constexpr const char* GeometryObjectNotFound = "Can't attach geometry - object not found";
inline constexpr const char* No16BitGradient = "File does not contain 16-bit gradient";
inline constexpr const char* FrameRateCaption = "FRAME RATE";
inline constexpr const char* FrameRateFormat = "%3.2f (f/s)";
inline constexpr const char* InfoCaption = "ZVL-file info";
inline constexpr const char* NoFileLoaded = "No file loaded";
inline constexpr const char* HelpCaption = "Control keys";
inline constexpr const char* HelpText =
    "Use <Control> menu to select parameter group,\nthen use arrows, Home and End keys\nto change parameters\n"
    "In <Camera> mode :\n Arrow keys - to move camera\n Home, PgUp keys  - to zoom in\n End, PgDn   - to zoom out\n"
    "In <Shadow> mode :\n   Home key - shadow on/off\nUse <Render> menu to change rendering method\n"
    "Use <Color> menu to change colors\nTo get rendering time press 'R'\nTo get full frame rate press 'T'\n"
    "To start/stop animation use space bar\nTo slow down animation press 'S'\nTo speed up animation press 'F'\n"
    "To set maximal frame rate press 'D'\nWhen animation stopped:\n     Gray '+' - step forward\n"
    "     Gray '-' - step backward";
inline constexpr const char* AboutPlayerCaption = "About Player";
inline constexpr const char* AboutPlayerText = "Zorvel Player\nZVL_Play viewer";
inline constexpr const char* SaveFilter = "Zorvel Files(*.zvl)";

}  // namespace zvlplay::msg
