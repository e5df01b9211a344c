#include "maxplugin/file_filters.h"

namespace zvlplay {

std::string FileFilter(FileKind kind) {
  return std::string(kind.name) + " files (*." + kind.extension + ")";
}

std::string FileFilter(FileKind first, FileKind second) { return FileFilter(first) + ";;" + FileFilter(second); }

}  // namespace zvlplay
