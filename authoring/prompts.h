// The questions the program asks through standard windows: file dialogs,
// message boxes and the units. One table of functions, so that tests answer
// them without a window of their own.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace authoring {

enum class MessageKind { Error, Warning, Information };

struct ShellPrompts {
  // A file to open; an empty string when the user cancelled.
  std::function<QString(QWidget* parent, const QString& filter, const QString& suffix)> openFile;
  // The output file; empty when cancelled.
  std::function<QString(QWidget* parent, const QString& filter, const QString& suffix)> saveFile;
  // The units per 3D pixel (the UnitsDialog); false when cancelled.
  std::function<bool(QWidget* parent, float& units)> askUnits;
  // A message box captioned "Error" (stop icon) or "Warning".
  std::function<void(QWidget* parent, MessageKind kind, const QString& text)> message;
};

// The program-wide table; by default the real dialogs.
ShellPrompts& Prompts();

}  // namespace authoring
