// zvl vox2zvl: converts VOX files into ZVL files of format version 7.0, each
// beside its input with the extension replaced by "ZVL".
#include "tools/zvl/command.h"
#include "vox2zvl/vox2zvl.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

void install(CLI::App& app) {
  auto files = std::make_shared<std::vector<std::string>>();
  CLI::App* cmd = app.add_subcommand(
      "vox2zvl", "Convert VOX files into ZVL files (FILE.vox gives FILE.ZVL); the log of each goes to standard output");
  cmd->add_option("files", *files, "VOX files")->required();
  cmd->callback([files] {
    for (const std::string& path : *files) {
      const vox2zvl::Status status =
          vox2zvl::ConvertFile(path, [](const std::string& line) { std::cout << line << "\n"; });
      std::cout.flush();
      if (!status) {
        std::cerr << "zvl: " << path << ": " << status.message << "\n";
        zvltool::exitCode() = 1;
      }
    }
  });
}

zvltool::RegisterCommand registration(30, install);

}  // namespace
