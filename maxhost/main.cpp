// maxhost: opens a scene (named on the command line or with File > Open),
// shows it, and offers the utilities of the plug-ins in its plug-in folder.
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include "maxhost/batch_run.h"
#include "maxhost/main_window.h"
#include "maxhost/plugin_loader.h"
#include "maxhost/scene_loader.h"

int main(int argc, char** argv) {
  if (maxhost::IsBatchCommandLine(argc, argv)) return maxhost::RunBatchCommandLine(argc, argv);
  QApplication app(argc, argv);
  maxhost::HostInterface ip(maxhost::LoadScene);
  SetCOREInterface(&ip);
  maxhost::PluginSet plugins;
  plugins.LoadFolder(maxhost::PluginFolder(QCoreApplication::applicationDirPath().toStdString()));
  maxhost::MainWindow window(ip, plugins);
  window.show();
  const QStringList args = app.arguments();
  if (args.size() > 1) window.OpenScene(args[1]);
  return app.exec();
}
