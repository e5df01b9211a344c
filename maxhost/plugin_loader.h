// Finding and loading plug-in libraries: every "*.dlu" file of the plug-in
// folder (MAXHOST_PLUGINS, or "plugins" beside the program) is opened, asked
// for its four exports and its class descriptors. A library that cannot be
// opened or lacks an export is reported and skipped.
#pragma once

#include <string>
#include <vector>

#include "maxplugin/sdk/plugin.h"

namespace maxhost {

struct LoadedPlugin {
  std::string path;
  void* handle = nullptr;
  std::string description;
  unsigned long version = 0;
  std::vector<ClassDesc*> classes;
};

class PluginSet {
 public:
  PluginSet() = default;
  ~PluginSet();
  PluginSet(const PluginSet&) = delete;
  PluginSet& operator=(const PluginSet&) = delete;

  // Loads every plug-in of the folder, in file name order.
  void LoadFolder(const std::string& folder);
  // Loads one library; false (and a line in errors) when it is not a plug-in.
  bool Load(const std::string& path);

  const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }
  // Every public utility class of every plug-in.
  std::vector<ClassDesc*> UtilityClasses() const;
  // What could not be loaded, one line per library.
  std::vector<std::string> errors;

 private:
  std::vector<LoadedPlugin> plugins_;
};

// MAXHOST_PLUGINS when set, else the "plugins" folder in programFolder.
std::string PluginFolder(const std::string& programFolder);

}  // namespace maxhost
