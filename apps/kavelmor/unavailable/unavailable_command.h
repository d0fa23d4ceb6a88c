#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace kvm::cli {

// A command this build lacks. It is listed and takes any arguments, and running it says why
// it cannot run here (one line, `kavelmor NAME: …`, status 1) instead of that there is no such
// command.
void addUnavailableCommand(CLI::App& app, int& status, const std::string& name,
                           const std::string& description, const std::string& reason);

}  // namespace kvm::cli
