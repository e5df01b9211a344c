// Every text of the VOX converter, spelled once: log lines, errors, captions
// and menu items. Tests compare against these constants.
#pragma once

namespace vox2zvl::msg {

// Log lines (printf formats where they take a value).
inline constexpr const char* LogConverting = "Converting file %s to ZVL format";
inline constexpr const char* LogFileVersion = "File version: %d";
inline constexpr const char* LogSceneName = "Scene name: %s";
inline constexpr const char* LogPalette = "Palette: %s";
inline constexpr const char* LogGeometry = "Geometry: %d objects";
inline constexpr const char* LogAnimation = "Animation: %d frames";
inline constexpr const char* LogAttached = "Animation attached successfully";
inline constexpr const char* LogSaving = "Saving ZVL file";
inline constexpr const char* LogCompleted = "Conversion completed";

// Errors of reading the VOX file. "Bad file format", "Reading file",
// "No room" and "Number of objects mismatch" are the file layer's own
// (zvl::msg).
inline constexpr const char* FileSeeking = "File seeking";
inline constexpr const char* NoVersionChunk = "This file does not contain version chunk";
inline constexpr const char* NoPaletteChunk = "File must contain palette chunk";
inline constexpr const char* NoGeometryChunk = "File must contain geometry chunk";
inline constexpr const char* NoAnimationChunk = "File must contain animation chunk";
inline constexpr const char* FileVersionObsolete = "File version is obsolete";
inline constexpr const char* ObjectNameMismatch = "Object name mismatch";
inline constexpr const char* CantOpenInput = "Can't open input file";

// Errors of converting objects.
inline constexpr const char* NoRoomForObject = "No room for object";
inline constexpr const char* NoRoomForLocation = "No room for location";
inline constexpr const char* NoRoomForMatrix = "No room for matrix";
inline constexpr const char* NoRoomForFlags = "No room for flags";

// The window.
inline constexpr const char* WindowCaption = "ZORVEL CONVERTER";
inline constexpr const char* WindowClassName = "Vox2zvl";
inline constexpr const char* MenuFile = "&File";
inline constexpr const char* MenuConvert = "&Convert";
inline constexpr const char* MenuExit = "&Exit";
inline constexpr const char* MenuHelp = "&Help";
inline constexpr const char* MenuHowTo = "&How to use converter";
inline constexpr const char* MenuAbout = "&About converter";
inline constexpr const char* FileFilter = "Voxel Files(*.vox)";
inline constexpr const char* HowToCaption = "Converting files";
inline constexpr const char* HowToText =
    "To convert VOX-file to ZVL-file\r\nselect File-Convert menu item\r\nthan choose VOX_file";
inline constexpr const char* AboutCaption = "About";
inline constexpr const char* AboutText = "Vox2zvl, the Zorvel VOX to ZVL converter\r\nVersion 1.0";
inline constexpr const char* ErrorCaption = "ERROR";

}  // namespace vox2zvl::msg
