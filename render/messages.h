// Every message text of the renderer, spelled once. Tests compare against
// these constants.
#pragma once

namespace zvl::rmsg {

// Setup.
inline constexpr const char* NoSetupParameter = "No setup parameter";
inline constexpr const char* SetupIsEmpty = "Setup is empty";
inline constexpr const char* CpuNotSupported = "CPU not supported";

// Scene handler.
inline constexpr const char* NoColorTabParameter = "No ColorTab parameter";
inline constexpr const char* NoRoomForInternalBuffer = "No room for internal buffer";
inline constexpr const char* NoRoomForHandler = "No room for handler";
inline constexpr const char* NoRoomForColorTable = "No room for color table";
inline constexpr const char* UnsupportedPixelSize = "Unsupported pixel size";
inline constexpr const char* InvalidColorBufferDepth = "Invalid color buffer depth";
inline constexpr const char* NoShadowTable = "Handler has no shadow table";

// ZvlBase: binding to an output and building its handler.
inline constexpr const char* UnsupportedColorBufferFormat = "ZvlBase :Unsupported color buffer format";
inline constexpr const char* UnsupportedZBufferFormat = "ZvlBase :Unsupported z buffer format";
inline constexpr const char* UnknownColorModel = "ZvlBase:Unknown color model";
inline constexpr const char* NoPalette = "zvlbase:PALETTE ?! ";
inline constexpr const char* CannotGetScnHandler = "zvlbase: Can not get scn handler";
inline constexpr const char* CannotGetScnHandler16 = "zvlbase: 16bpp: Can not get scn handler";
inline constexpr const char* CannotRenderPureAnimation = "Can not render pure animation";
inline constexpr const char* BadVoxelGeometry = "Bad file format";

// Texts of the CpuType values.
inline constexpr const char* Cpu486 = "Intel 80486 or compartible";
inline constexpr const char* CpuPentium = "Intel Pentium(r)";
inline constexpr const char* CpuPentiumMmx = "Intel Pentium(r) with MMX(tm)";
inline constexpr const char* CpuPentiumPro = "Intel Pentium(r) Pro";
inline constexpr const char* CpuUnsupported = "CPU not supported";

}  // namespace zvl::rmsg
