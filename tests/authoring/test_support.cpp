#include "tests/authoring/test_support.h"

#include <atomic>
#include <unistd.h>

namespace authoring_test {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("authoring_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::vector<std::string> TempFolder::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename().string());
  return names;
}

std::string SampleDir() { return std::string(ZORVEL_SOURCE_DIR) + "/samples"; }

authoring::PageFields WindmillFields(authoring::ImportKind kind) {
  authoring::PageFields fields;
  fields.kind = kind;
  const std::string dir = SampleDir() + "/windmill/";
  switch (kind) {
    case authoring::ImportKind::Studio3ds: fields.scenePath = dir + "windmill.3ds"; break;
    case authoring::ImportKind::LightWave: fields.scenePath = dir + "windmill.lws"; break;
    case authoring::ImportKind::AliasRtg:
      fields.scenePath = dir + "windmill.rtg";
      fields.animationStem = dir + "windanim";
      break;
  }
  fields.palettePath = SampleDir() + "/main_p6.act";
  return fields;
}

}  // namespace authoring_test
