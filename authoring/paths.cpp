#include "authoring/paths.h"

#include "authoring/messages.h"

#include <filesystem>
#include <system_error>

namespace authoring {
namespace {

// Index just past the last separator (0 when there is none).
size_t FileNameStart(const std::string& path) {
  const size_t at = path.find_last_of("/\\");
  return at == std::string::npos ? 0 : at + 1;
}

}  // namespace

std::string OutputPathFor(const std::string& chosen) {
  const size_t nameStart = FileNameStart(chosen);
  const size_t dot = chosen.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return chosen + ".zvl";
  return chosen.substr(0, dot + 1) + "zvl";
}

std::string FolderPart(const std::string& path) {
  const size_t nameStart = FileNameStart(path);
  return nameStart == 0 ? std::string("./") : path.substr(0, nameStart);
}

std::string AnimationStemOf(const std::string& chosen) {
  const size_t nameStart = FileNameStart(chosen);
  const size_t underscore = chosen.find('_', nameStart);
  return underscore == std::string::npos ? chosen : chosen.substr(0, underscore);
}

std::string JobName(const std::string& path) {
  std::string name = path.substr(FileNameStart(path));
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.size() > 15) name.resize(15);
  return name;
}

std::string DefaultPalettePath(const std::string& startFolder) {
  if (startFolder.empty()) return msg::DefaultPaletteName;
  const char last = startFolder.back();
  return startFolder + (last == '/' || last == '\\' ? "" : "/") + msg::DefaultPaletteName;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace authoring
