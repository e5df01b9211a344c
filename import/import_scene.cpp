// Chooses the reader of a scene file by its extension.
#include "import/import.h"
#include "import/lws_import.h"
#include "import/messages.h"
#include "import/rtg_import.h"
#include "import/tds_import.h"

#include <algorithm>
#include <cctype>

namespace {

std::string LowerExtension(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

bool ImportScene(const std::string& path, const ImportOptions& options,
                 const ImportCallbacks& callbacks, ImportedScene& scene) {
  const std::string ext = LowerExtension(path);
  // One line per scene kind: the reader reads the file and computes the
  // animation into `scene`.
  if (ext == ".3ds") return importer::Import3DS(path, options, callbacks, scene);
  if (ext == ".lws") return ImportLws(path, options, callbacks, scene);
  if (ext == ".rtg") return ImportRtg(path, options, callbacks, scene);
  callbacks.Error(std::string(importer::msg::UnknownSceneKind) + " " + path);
  return false;
}
