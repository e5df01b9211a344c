// What the authoring tests share: a reporter that records, a temporary
// folder, and the page fields of the bundled windmill samples.
#pragma once

#include "authoring/conversion_reporter.h"
#include "authoring/page_fields.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace authoring_test {

class RecordingReporter : public authoring::ConversionReporter {
 public:
  void Error(const std::string& text) override { errors.push_back(text); }
  void Warning(const std::string& text) override { warnings.push_back(text); }
  void Stage(int, const std::string& text) override {
    stages.store(stages.load() + 1);
    if (onStage) onStage(text);
  }
  std::vector<std::string> errors, warnings;
  std::atomic<int> stages{0};
  std::function<void(const std::string&)> onStage;
};

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::string Path(const std::string& name) const { return (path_ / name).string(); }
  // The names of the files it holds.
  std::vector<std::string> Files() const;

 private:
  std::filesystem::path path_;
};

std::string SampleDir();
// The fields of the 3D Studio, LightWave or Alias RTG windmill.
authoring::PageFields WindmillFields(authoring::ImportKind kind);

}  // namespace authoring_test
