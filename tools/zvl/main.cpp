// zvl: every job of the toolkit from the command line, one subcommand each.
#include "tools/zvl/command.h"
#include "tools/zvl/messages.h"

#include <algorithm>
#include <exception>
#include <iostream>

namespace zvltool {

std::vector<std::pair<int, CommandInstaller>>& CommandRegistry::installers() {
  static std::vector<std::pair<int, CommandInstaller>> list;
  return list;
}

int& exitCode() {
  static int code = 0;
  return code;
}

}  // namespace zvltool

int main(int argc, char** argv) {
  CLI::App app{"zvl: inspect, render and convert ZVL voxel sprite files"};
  app.require_subcommand(1);
  auto installers = zvltool::CommandRegistry::installers();
  std::stable_sort(installers.begin(), installers.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& entry : installers) entry.second(app);
  // A failure a command did not foresee still ends with a message and a
  // status, never an abort.
  try {
    CLI11_PARSE(app, argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "zvl: " << zvltool::msg::Unexpected << e.what() << "\n";
    return 1;
  }
  return zvltool::exitCode();
}
