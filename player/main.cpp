// zvplay: plays a ZVL scene in a window. The one argument, if any, is the
// file to open.
#include "player/main_frame.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Player"));
  CMainFrame frame;
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) frame.document().openDocument(args.at(1));
  frame.show();
  return app.exec();
}
