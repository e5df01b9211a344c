// Every message and progress caption of the Alias RTG importer, spelled
// once. Tests compare against these constants.
#pragma once

namespace rtg::msg {

// Progress captions.
inline constexpr const char* LoadingRtg = "Loading RTG file...";
inline constexpr const char* LoadingAnimation = "Loading animation...";
inline constexpr const char* CalculatingAnimation = "Calculating animation...";

// Errors (caption "Error"); the scene is not converted. A damaged scene file
// gets the first, followed by ": " and the reason.
inline constexpr const char* CantLoadScene = "Cann't load scene data";
inline constexpr const char* CantLoadTextures = "Cann't load textures from bin-file";
inline constexpr const char* CantLoadAnimation = "Cann't load animation";
// Warning: the scene is converted as a still of one frame.
inline constexpr const char* NoAnimation = "No animation. Cann't open animation files.";

// Reasons after CantLoadScene.
inline constexpr const char* CantOpen = "can't open";
inline constexpr const char* FileEnds = "the file ends inside";
inline constexpr const char* CountTooLarge = "a count larger than the file in";
inline constexpr const char* PolygonVertex = "a polygon names a vertex that does not exist in";
inline constexpr const char* PolygonTexCoord = "a polygon names a texture coordinate that does not exist in";
inline constexpr const char* PolygonNormal = "a polygon names a normal that does not exist in";
inline constexpr const char* PolygonTexture = "a polygon names a texture that is not in the texture table, in";
inline constexpr const char* BadTextureSize = "a texture of no size or one too large";
inline constexpr const char* TooManyPlacements = "too many frames for the nodes of the scene";

}  // namespace rtg::msg
