#include "maxhost/batch_run.h"

#include <dlfcn.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "maxhost/batch_messages.h"
#include "maxhost/host_scene.h"
#include "maxhost/plugin_loader.h"
#include "maxhost/scene_loader.h"
#include "maxplugin/batch_export.h"

namespace maxhost {
namespace {

struct BatchArguments {
  std::string batch, scene;
};

bool ParseArguments(int argc, char** argv, BatchArguments& args) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--batch") == 0 && hasValue)
      args.batch = argv[++i];
    else if (std::strcmp(argv[i], "--scene") == 0 && hasValue)
      args.scene = argv[++i];
    else
      return false;
  }
  return !args.batch.empty();
}

void PrintMessage(const char* caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption, text.c_str());
}

}  // namespace

bool IsBatchCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--batch") == 0) return true;
  return false;
}

int RunBatchCommandLine(int argc, char** argv) {
  BatchArguments args;
  if (!ParseArguments(argc, argv, args)) {
    std::fprintf(stderr, "%s\n", msg::BatchUsage);
    return 1;
  }
  // No window is ever shown: the offscreen platform unless one was chosen.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  HostInterface ip(LoadScene);
  SetCOREInterface(&ip);
  ip.onMessage = [](const HostInterface::Message& m) {
    if (m.kind != MessageKind::Info) PrintMessage(m.caption.c_str(), m.text);
  };
  PluginSet plugins;
  plugins.LoadFolder(PluginFolder(QCoreApplication::applicationDirPath().toStdString()));
  for (const std::string& error : plugins.errors) std::fprintf(stderr, "%s\n", error.c_str());

  RunBatchFunction run = nullptr;
  for (const LoadedPlugin& plugin : plugins.Plugins())
    if (!run && plugin.handle) run = reinterpret_cast<RunBatchFunction>(dlsym(plugin.handle, kRunBatchExport));
  if (!run) {
    std::fprintf(stderr, "%s\n", msg::NoBatchPlugin);
    return 1;
  }
  if (!args.scene.empty() && !ip.LoadFromFile(args.scene.c_str())) {
    std::fprintf(stderr, "%s %s: %s\n", msg::CantOpenScene, args.scene.c_str(), ip.LastLoadError().c_str());
    return 1;
  }
  return run(&ip, args.batch.c_str()) == 0 ? 0 : 1;
}

}  // namespace maxhost
