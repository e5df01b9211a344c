// CZvPlayDoc: the document. It knows the path of the open scene and hands
// opening and saving to the engine; the scene itself lives in the engine.
#pragma once

#include <QString>

namespace zvplay {
class PlayerEngine;
}

class CZvPlayDoc {
 public:
  explicit CZvPlayDoc(zvplay::PlayerEngine& engine) : engine_(engine) {}

  // Opens a scene: at once when the engine is attached to its view, else
  // when it attaches. False when the engine refused the file.
  bool openDocument(const QString& path);
  bool saveDocument(const QString& path);
  QString pathName() const;
  // The title shown in the frame: the file's name, or "Untitled".
  QString title() const;

 private:
  zvplay::PlayerEngine& engine_;
};
