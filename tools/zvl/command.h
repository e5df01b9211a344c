// Subcommands of the zvl tool register themselves here; main() builds the
// command line from whatever was linked in.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <vector>

namespace zvltool {

// Adds a subcommand to the app. The callback it installs returns through
// exitCode() the status the program should end with.
using CommandInstaller = std::function<void(CLI::App& app)>;

struct CommandRegistry {
  static std::vector<std::pair<int, CommandInstaller>>& installers();
};

// Registers an installer; `order` fixes where it appears in --help.
struct RegisterCommand {
  RegisterCommand(int order, CommandInstaller installer) {
    CommandRegistry::installers().emplace_back(order, std::move(installer));
  }
};

// The exit status the chosen subcommand asks for (0 unless a command sets it).
int& exitCode();

}  // namespace zvltool
