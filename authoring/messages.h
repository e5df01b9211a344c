// Every text the authoring program shows: captions of its windows and
// message boxes, progress captions, messages and file dialog filters.
// Tests compare against these constants.
#pragma once

namespace authoring::msg {

// Message box captions.
inline constexpr const char* CaptionError = "Error";
inline constexpr const char* CaptionWarning = "Warning";

// Window captions.
inline constexpr const char* SheetTitle = "Import";
inline constexpr const char* Page3ds = "3d Studio";
inline constexpr const char* PageRtg = "Alias RTG";
inline constexpr const char* PageLws = "LightWave";
inline constexpr const char* PageAbout = "About";
inline constexpr const char* OrientationTitle = "Object orientation";
inline constexpr const char* ZorvelizationTitle = "Zorvelization...";
inline constexpr const char* UnitsLabel = "Units per pixel :";

// Captions of the reading steps (the ProgressBox's caption).
inline constexpr const char* Loading3ds = "Loading 3ds file...";
inline constexpr const char* LoadingLws = "Loading LWS file...";
inline constexpr const char* LoadingRtg = "Loading RTG file...";
inline constexpr const char* CreatingPalette = "Creating palette...";
inline constexpr const char* LoadingMaterials = "Loading materials...";

// Messages of the conversion.
inline constexpr const char* PaletteMissed = "Palette file missed or corrupted";
inline constexpr const char* MaterialNotFound = "Material not found";
inline constexpr const char* CantGetObjectData = "Can't get object data";
inline constexpr const char* NoRoomForJob = "No room for conversion job";
inline constexpr const char* VueFileMissing = "No VUE file given";
inline constexpr const char* OutputIsInput = "The output file is the input file";
inline constexpr const char* NoObjects = "The scene contains no objects";
inline constexpr const char* BadPaletteRange = "The start color must not be greater than the end color";

// File dialog filters (Qt spelling of the program's filters).
inline constexpr const char* Filter3ds = "3d Studio Files (*.3ds)";
inline constexpr const char* FilterAct = "Photoshop *.ACT Files (*.act);;All Files (*)";
inline constexpr const char* FilterVue = "3d Studio *.VUE Files (*.vue)";
inline constexpr const char* FilterLws = "LightWave scene Files (*.lws)";
inline constexpr const char* FilterRtg = "Alias RTG Files (*.rtg);;All Files (*)";
inline constexpr const char* FilterRtgMaterials = "Alias materials *.bin Files (*.bin);;All Files (*)";
inline constexpr const char* FilterZvl = "Zorvel files (*.zvl);;All Files (*)";

// The default palette file, in the folder the program started in.
inline constexpr const char* DefaultPaletteName = "main_p6.act";

}  // namespace authoring::msg
