// The command identifiers of the menus and the toolbar, the EngineCommand
// codes, and the ControlState indices that mirror the commands for check
// marks and toolbar buttons.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zvplay {

// Command identifiers sent by menu items and toolbar buttons.
namespace id {
inline constexpr int FileOpen = 57601;
inline constexpr int LoadAnimation = 32801;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int LoadSettings = 77;
inline constexpr int SaveSettings = 78;
inline constexpr int Properties = 32776;
inline constexpr int AppExit = 57665;

inline constexpr int Default = 74;
inline constexpr int KeyCamera = 32787;
inline constexpr int KeyLight = 32773;
inline constexpr int KeyShadow = 32783;
inline constexpr int KeyScenePosition = 32775;
inline constexpr int KeySceneRotation = 32774;

inline constexpr int Play = 32779;
inline constexpr int Stop = 32780;
inline constexpr int StepForward = 32781;
inline constexpr int StepForwardSecond = 32788;  // no menu item; mirrored by state 4
inline constexpr int StepBack = 32778;
inline constexpr int GoToStart = 32777;
inline constexpr int GoToEnd = 32782;
inline constexpr int Slow = 32789;
inline constexpr int Fast = 32799;
inline constexpr int MaxRate = 32800;
inline constexpr int AutoRepeat = 32798;

inline constexpr int RenderPack = 71;
inline constexpr int RenderFill = 72;
inline constexpr int RenderStretch = 73;
inline constexpr int Shadows = 81;
inline constexpr int Distortion = 82;  // no menu item

inline constexpr int BackgroundColor = 75;
inline constexpr int ShadowColor = 76;
inline constexpr int LightColor = 84;

inline constexpr int IndexColor = 79;
inline constexpr int HighColor = 80;

inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;

inline constexpr int ControlKeys = 60;
inline constexpr int About = 57664;
}  // namespace id

// EngineCommand codes. Every one is refused while no file is open or while
// the display is frozen.
enum class EngineCommand : int {
  GoToStart = 0,
  StepBack = 1,
  Stop = 2,
  Play = 3,  // rewinds when the current frame is the last
  StepForward = 4,
  GoToEnd = 5,
  Slow = 6,
  Fast = 7,
  MaxRate = 8,
  AutoRepeat = 14,
  Properties = 15,
  BackgroundColor = 16,
  ShadowColor = 17,
  LightColor = 18,
  DrawFill = 19,
  DrawStretch = 20,
  DrawPack = 21,
  Shadows = 22,
  Distortion = 23,
  AttachPending = 24,
  Default = 25,
  IndexColor = 28,
  HighColor = 29,
  LoadSettings = 30,
  SaveSettings = 31,
};

// ControlState: one int per index; 0 off, 1 on (checked), 2 disabled.
inline constexpr int ControlStateCount = 32;
inline constexpr int StateOff = 0;
inline constexpr int StateOn = 1;
inline constexpr int StateDisabled = 2;

namespace state {
inline constexpr int GoToStart = 0;
inline constexpr int StepBack = 1;
inline constexpr int Stopped = 2;
inline constexpr int Playing = 3;
inline constexpr int StepForward = 4;
inline constexpr int GoToEnd = 5;
inline constexpr int Slow = 6;
inline constexpr int Fast = 7;
inline constexpr int MaxRate = 8;
inline constexpr int KeyCamera = 9;
inline constexpr int KeyLight = 10;
inline constexpr int KeyShadow = 11;
inline constexpr int KeySceneRotation = 12;
inline constexpr int KeyScenePosition = 13;
inline constexpr int AutoRepeat = 14;
inline constexpr int Properties = 15;
inline constexpr int BackgroundColor = 16;
inline constexpr int ShadowColor = 17;
inline constexpr int LightColor = 18;
inline constexpr int DrawFill = 19;
inline constexpr int DrawStretch = 20;
inline constexpr int DrawPack = 21;
inline constexpr int Shadows = 22;
inline constexpr int Distortion = 23;
inline constexpr int LoadAnimation = 24;
inline constexpr int Default = 25;
inline constexpr int Save = 26;
inline constexpr int SaveAs = 27;
inline constexpr int IndexColor = 28;
inline constexpr int HighColor = 29;
inline constexpr int LoadSettings = 30;
inline constexpr int SaveSettings = 31;

inline constexpr int FirstKeyGroup = KeyCamera;
inline constexpr int LastKeyGroup = KeyScenePosition;
}  // namespace state

// The command each ControlState index mirrors (0: none). Besides the
// transport, key group, file and colour commands, the render modes, the light
// colour and the colour modes mirror their own states so that they too are
// disabled until a file is open. Default (74) and Step Forward (32781)
// mirror none and stay enabled; without a file the engine refuses them.
inline constexpr std::array<int, ControlStateCount> StateCommands = {
    id::GoToStart,        id::StepBack,     id::Stop,          id::Play,
    id::StepForwardSecond, id::GoToEnd,     id::Slow,          id::Fast,
    id::MaxRate,          id::KeyCamera,    id::KeyLight,      id::KeyShadow,
    id::KeySceneRotation, id::KeyScenePosition, id::AutoRepeat, id::Properties,
    id::BackgroundColor,  id::ShadowColor,  id::LightColor,    id::RenderFill,
    id::RenderStretch,    id::RenderPack,   id::Shadows,       id::Distortion,
    id::LoadAnimation,    0,                id::FileSave,      id::FileSaveAs,
    id::IndexColor,       id::HighColor,    id::LoadSettings,  id::SaveSettings,
};

// The ControlState index that mirrors a command, or -1.
constexpr int StateOfCommand(int commandId) {
  if (commandId == 0) return -1;
  for (int i = 0; i < ControlStateCount; ++i)
    if (StateCommands[size_t(i)] == commandId) return i;
  return -1;
}

}  // namespace zvplay
