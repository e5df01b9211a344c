// vox2zvl: converts VOX files into ZVL files from a small window.
#include "vox2zvl/mainwindow.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vox2zvl::ConverterWindow window;
  // An error ends the program once its message has been shown.
  QObject::connect(&window, &vox2zvl::ConverterWindow::fatalError, &app, [] { QApplication::exit(1); });
  window.show();
  return app.exec();
}
