// The look a scene gets when it is opened, shared by the player, the
// command-line renderer and anyone else who fits a scene the same way: the
// colours of the background, the shadows and the light, and the camera fit
// made when a file opens and by "Default".
#pragma once

#include "zvlfile/rgb555.h"

inline constexpr ZvlRgb8 ZvlDefaultBackground{100, 70, 255};
inline constexpr ZvlRgb8 ZvlDefaultShadowColor{50, 35, 120};
inline constexpr ZvlRgb8 ZvlDefaultLightColor{255, 255, 255};

// ZvlBase::fitToView(ZvlFitFocalDistance, ZvlFitScale): the scene's
// diagonal spans 256 pixels seen with the focal distance 400.
inline constexpr float ZvlFitFocalDistance = 400.0f;
inline constexpr float ZvlFitScale = 256.0f;
