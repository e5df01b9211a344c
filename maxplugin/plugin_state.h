// What the plug-in keeps while the library is loaded: the panel's settings
// and the hooks the batch language and the viewer plug into.
#pragma once

#include <functional>
#include <string>

#include "maxplugin/settings.h"
#include "maxplugin/start.h"

class Interface;
class QWidget;

namespace zvlplay {

struct PluginState {
  PanelSettings settings;
  // Runs or writes a batch file for the settings: 0, or -1 after its own
  // report. Unset until the batch language is built in.
  std::function<int(Interface&, PanelSettings&, QWidget* parent)> runBatch, writeBatch;
  // Shows the written file(s). Unset: the host is told where the file went.
  std::function<void(Interface&, const ViewerRequest&, QWidget* parent)> openViewer;
};

PluginState& State();

}  // namespace zvlplay
