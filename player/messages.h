// Every text the player shows: message box captions, messages, the
// frame-rate texts and the dialog texts. Tests compare against these.
#pragma once

namespace zvplay::msg {

// Message box captions.
inline constexpr const char* CaptionError = "Error";
inline constexpr const char* CaptionEngine = "RAVID";
inline constexpr const char* CaptionImage = "dibsect";

// Opening, attaching, saving (caption "Error").
inline constexpr const char* InvalidExtension = "Invalid file extension ";
inline constexpr const char* ReadingFileError = "reading zorvel file error";
inline constexpr const char* NoGeometry = "This file does not contain geometry";
inline constexpr const char* AttachMismatch =
    "Can not attach animation because models contain different number of body parts";
inline constexpr const char* WriteFileError = "Write file error";
inline constexpr const char* OpenFileError = "Open file error";
inline constexpr const char* ReadFileError = "Read file error";

// Colour modes (caption "RAVID").
inline constexpr const char* NoPalette = "File does not contain palette";

// The output image (caption "dibsect").
inline constexpr const char* CannotCreateDibSection = "Can not create DIBSection";

// Depth buffer fills, reported on the debug output.
inline constexpr const char* FillZbufferNull = "FillZbuffer:Invalid rect==NULL\n";
inline constexpr const char* FillZbufferOutside = "FillZbuffer:Invalid rect\n";

// Frame rate: the engine's stored text and the status bar's.
inline constexpr const char* FrameRateStored = "Frame Rate = %3.3f";
inline constexpr const char* FrameRateStatus = "Frame rate = %3.1f";

// Settings dialogs.
inline constexpr const char* SaveSettingsTitle = "Save Settings";
inline constexpr const char* LoadSettingsTitle = "Load Settings";
inline constexpr const char* SettingsFilter = "%s files (*.%s)";
inline constexpr const char* SettingsDefaultName = "*.zsi";

// Properties dialog formats.
inline constexpr const char* PropVersion = "%2.2f";
inline constexpr const char* PropUnitsPerPixel = "%3.3f";
inline constexpr const char* PropPixelArea = "(%d,%d)";
inline constexpr const char* PropSize = " ( %2.2f ,%2.2f, %2.2f )";
inline constexpr const char* PropNoPalette = "No";

// Control Keys dialog, line by line.
inline constexpr const char* ControlKeysLines[] = {
    "Use <Control>menu to select parameter group,",
    "then use arrow , Home , End  keys to  change",
    "parameters.",
    "To select the lever of details  (if any)  press 0-9 ",
};

}  // namespace zvplay::msg
