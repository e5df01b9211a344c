// The menu bar (resource 128), the toolbar and the status-bar prompts, as
// data: the frame window builds its actions from these tables.
#pragma once

#include "player/commands.h"

#include <array>
#include <span>

namespace zvplay {

struct MenuItem {
  int id;               // command identifier; 0 for a separator
  const char* text;     // with its & mnemonic and, after a tab, its shortcut
  const char* shortcut; // key sequence in portable text, or null
};

struct Menu {
  const char* title;
  std::span<const MenuItem> items;
};

inline constexpr MenuItem FileMenuItems[] = {
    {id::FileOpen, "&Open...\tCtrl+O", "Ctrl+O"},
    {id::LoadAnimation, "&Load Animation...\tCtrl+L", "Ctrl+L"},
    {id::FileSave, "&Save\tCtrl+S", "Ctrl+S"},
    {id::FileSaveAs, "Save &As...", nullptr},
    {0, nullptr, nullptr},
    {id::LoadSettings, "Load settings", nullptr},
    {id::SaveSettings, "Save settings", nullptr},
    {0, nullptr, nullptr},
    {id::Properties, "Properties\tCtrl+P", "Ctrl+P"},
    {0, nullptr, nullptr},
    {id::AppExit, "E&xit", nullptr},
};
inline constexpr MenuItem ControlsMenuItems[] = {
    {id::Default, "Default\tCtrl+D", "Ctrl+D"},
    {0, nullptr, nullptr},
    {id::KeyCamera, "&Camera", nullptr},
    {id::KeyLight, "&Light", nullptr},
    {id::KeyShadow, "Shadow", nullptr},
    {id::KeyScenePosition, "Scene position", nullptr},
    {id::KeySceneRotation, "Scene rotation", nullptr},
};
inline constexpr MenuItem PlayerMenuItems[] = {
    {id::Play, "&Play", nullptr},
    {id::Stop, "&Stop", nullptr},
    {0, nullptr, nullptr},
    {id::StepForward, "Step &Forward", nullptr},
    {id::StepBack, "Step &Back", nullptr},
    {0, nullptr, nullptr},
    {id::GoToStart, "Go to S&tart", nullptr},
    {id::GoToEnd, "Go to &End", nullptr},
    {0, nullptr, nullptr},
    {id::Slow, "S&low", nullptr},
    {id::Fast, "F&ast", nullptr},
    {0, nullptr, nullptr},
    {id::AutoRepeat, "Auto &repeat", nullptr},
};
inline constexpr MenuItem RenderMenuItems[] = {
    {id::RenderPack, "&Pack zorvel", nullptr},
    {id::RenderFill, "&Fill zorvel", nullptr},
    {id::RenderStretch, "St&retch zorvel", nullptr},
    {0, nullptr, nullptr},
    {id::Shadows, "&Shadow", nullptr},
};
inline constexpr MenuItem ColorMenuItems[] = {
    {id::BackgroundColor, "&Background", nullptr},
    {id::ShadowColor, "&Shadow", nullptr},
    {id::LightColor, "Light", nullptr},
};
inline constexpr MenuItem ModeMenuItems[] = {
    {id::IndexColor, "&Index Color", nullptr},
    {id::HighColor, "&High Color", nullptr},
};
inline constexpr MenuItem ViewMenuItems[] = {
    {id::ViewToolbar, "&Toolbar", nullptr},
    {id::ViewStatusBar, "&Status Bar", nullptr},
};
inline constexpr MenuItem HelpMenuItems[] = {
    {id::ControlKeys, "Control keys", nullptr},
    {id::About, "&About Player", nullptr},
};

inline constexpr Menu MenuBar[] = {
    {"&File", FileMenuItems},       {"&Controls", ControlsMenuItems}, {"Player", PlayerMenuItems},
    {"&Render", RenderMenuItems},   {"&Color", ColorMenuItems},       {"&Mode", ModeMenuItems},
    {"&View", ViewMenuItems},       {"&Help", HelpMenuItems},
};

// Toolbar buttons in order; 0 is a separator.
inline constexpr int ToolbarButtons[] = {
    id::FileOpen,  id::FileSave,  0,           id::Properties, 0,
    id::KeyCamera, id::KeyLight,  id::KeyShadow, id::KeySceneRotation, id::KeyScenePosition, 0,
    id::GoToStart, id::StepBack,  id::Stop,    id::Play,       id::StepForward, id::GoToEnd, 0,
    id::Slow,      id::Fast,      id::MaxRate, 0,
    id::About,
};
inline constexpr int ToolbarButtonWidth = 16;
inline constexpr int ToolbarButtonHeight = 15;

// The status-bar prompt of a command; after a line break, its tool tip.
struct CommandPrompt {
  int id;
  const char* prompt;
};

inline constexpr CommandPrompt CommandPrompts[] = {
    {id::FileOpen, "Open a zorvel file\nOpen"},
    {id::LoadAnimation, "Attach the animation of another zorvel file\nLoad Animation"},
    {id::FileSave, "Save the scene\nSave"},
    {id::FileSaveAs, "Save the scene under a new name\nSave As"},
    {id::LoadSettings, "Load view settings from a file\nLoad settings"},
    {id::SaveSettings, "Save view settings to a file\nSave settings"},
    {id::Properties, "Show the properties of the scene\nProperties"},
    {id::AppExit, "Quit the player\nExit"},
    {id::Default, "Restore the default view\nDefault"},
    {id::KeyCamera, "Move camera (arrows,Home,End,PgUp,PgDown)\nCamera"},
    {id::KeyLight, "Move light (arrows)\nLight"},
    {id::KeyShadow, "Move shadow (arrows)\nShadow"},
    {id::KeyScenePosition, "Move scene (arrows,Home,End)\nScene position"},
    {id::KeySceneRotation, "Rotate scene (arrows,Home,End)\nScene rotation"},
    {id::Play, "Play animation\nPlay"},
    {id::Stop, "Stop animation\nStop"},
    {id::StepForward, "Next frame\nStep Forward"},
    {id::StepForwardSecond, "Next frame\nStep Forward"},
    {id::StepBack, "Previous frame\nStep Back"},
    {id::GoToStart, "Go to the first frame\nGo to Start"},
    {id::GoToEnd, "Go to the last frame\nGo to End"},
    {id::Slow, "Adjust frame rate\nPlay Slow"},
    {id::Fast, "Adjust frame rate\nPlay Fast"},
    {id::MaxRate, "Set maximum frame rate\nMaxFrame Rate"},
    {id::AutoRepeat, "Repeat animation"},
    {id::RenderPack, "Set pack render mode"},
    {id::RenderFill, "Set fill render mode"},
    {id::RenderStretch, "Set stretch render mode"},
    {id::Shadows, "Shadow On/Off"},
    {id::Distortion, "Distortion On/Off"},
    {id::BackgroundColor, "Choose the background colour\nBackground"},
    {id::ShadowColor, "Choose the shadow colour\nShadow colour"},
    {id::LightColor, "Choose the light colour\nLight colour"},
    {id::IndexColor, "Show the colours of an 8-bit display\nIndex Color"},
    {id::HighColor, "Show the colours of the colour table\nHigh Color"},
    {id::ViewToolbar, "Show or hide the toolbar\nToolbar"},
    {id::ViewStatusBar, "Show or hide the status bar\nStatus Bar"},
    {id::ControlKeys, "Show the control keys\nControl keys"},
    {id::About, "Show the program's version\nAbout"},
};

// The status bar's text when no prompt is shown.
inline constexpr const char* ReadyPrompt = "Ready";

constexpr const char* PromptOf(int commandId) {
  for (const auto& p : CommandPrompts)
    if (p.id == commandId) return p.prompt;
  return nullptr;
}

}  // namespace zvplay
