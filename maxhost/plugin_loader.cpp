#include "maxhost/plugin_loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "maxhost/messages.h"

namespace maxhost {

PluginSet::~PluginSet() {
  // The libraries stay mapped: objects they made may still be referenced by
  // windows being torn down, and the process is ending anyway.
}

std::string PluginFolder(const std::string& programFolder) {
  if (const char* env = std::getenv("MAXHOST_PLUGINS"); env && *env) return env;
  return (std::filesystem::path(programFolder) / "plugins").string();
}

void PluginSet::LoadFolder(const std::string& folder) {
  std::error_code ec;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.path().extension() == kPluginExtension) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) Load(file);
}

bool PluginSet::Load(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    errors.push_back(path + ": " + msg::PluginNotLoaded + (why ? std::string(" (") + why + ")" : std::string()));
    return false;
  }
  auto description = reinterpret_cast<LibDescriptionFunction>(dlsym(handle, kLibDescriptionExport));
  auto count = reinterpret_cast<LibNumberClassesFunction>(dlsym(handle, kLibNumberClassesExport));
  auto classDesc = reinterpret_cast<LibClassDescFunction>(dlsym(handle, kLibClassDescExport));
  auto version = reinterpret_cast<LibVersionFunction>(dlsym(handle, kLibVersionExport));
  const char* missing = !description ? kLibDescriptionExport
                        : !count     ? kLibNumberClassesExport
                        : !classDesc ? kLibClassDescExport
                        : !version   ? kLibVersionExport
                                     : nullptr;
  if (missing) {
    errors.push_back(path + ": " + msg::PluginMissingExport + " " + missing);
    dlclose(handle);
    return false;
  }
  LoadedPlugin plugin;
  plugin.path = path;
  plugin.handle = handle;
  plugin.description = description() ? description() : "";
  plugin.version = version();
  const int n = count();
  for (int i = 0; i < n && i < 1024; ++i)
    if (ClassDesc* cd = classDesc(i)) plugin.classes.push_back(cd);
  if (plugin.classes.empty()) {
    errors.push_back(path + ": " + msg::PluginNoClasses);
    dlclose(handle);
    return false;
  }
  plugins_.push_back(std::move(plugin));
  return true;
}

std::vector<ClassDesc*> PluginSet::UtilityClasses() const {
  std::vector<ClassDesc*> result;
  for (const LoadedPlugin& p : plugins_)
    for (ClassDesc* cd : p.classes)
      if (cd->IsPublic() && cd->SuperClassID() == kUtilityClassID) result.push_back(cd);
  return result;
}

}  // namespace maxhost
