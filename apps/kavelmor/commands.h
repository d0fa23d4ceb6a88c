#pragma once

#include <CLI/CLI.hpp>

namespace kvm::cli {

// Each command group registers its subcommands on the application; the one that runs leaves
// its exit status in `status`.
void addScriptCommand(CLI::App& app, int& status);
void addOptionalCommands(CLI::App& app, int& status);

}  // namespace kvm::cli
