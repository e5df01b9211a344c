#include "player/zvplay_doc.h"

#include "player/player_engine.h"

#include <QFileInfo>

bool CZvPlayDoc::openDocument(const QString& path) {
  const std::string local = QFile::encodeName(path).toStdString();
  if (!engine_.attached()) {
    engine_.setStartFile(local);
    return true;
  }
  return engine_.openFile(local);
}

bool CZvPlayDoc::saveDocument(const QString& path) {
  return engine_.saveFile(QFile::encodeName(path).toStdString());
}

QString CZvPlayDoc::pathName() const { return QFile::decodeName(engine_.filePath().c_str()); }

QString CZvPlayDoc::title() const {
  const QString path = pathName();
  return path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}
