// Filters of the panel's file dialogs: one kind, or two kinds in one dialog.
#pragma once

#include <string>

namespace zvlplay {

struct FileKind {
  const char* name;       // "ACT"
  const char* extension;  // "act"
};
inline constexpr FileKind kActFiles{"ACT", "act"};
inline constexpr FileKind kZvlFiles{"ZVL", "zvl"};
inline constexpr FileKind kBatchFiles{"ZVB", "zvb"};
inline constexpr FileKind kSettingsFiles{"ZST", "zst"};

// "ACT files (*.act)", and two kinds joined by ";;" for Qt's file dialogs.
std::string FileFilter(FileKind kind);
std::string FileFilter(FileKind first, FileKind second);

}  // namespace zvlplay
