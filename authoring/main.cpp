// zorvelator: converts 3D Studio, LightWave and Alias RTG scenes into ZVL
// voxel sprite files through its "Import" sheet.
#include "authoring/import_sheet.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zorvelator"));
  authoring::ImportSheet sheet(QDir::currentPath());
  sheet.exec();
  return 0;
}
