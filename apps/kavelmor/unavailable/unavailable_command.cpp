#include "apps/kavelmor/unavailable/unavailable_command.h"

#include <iostream>

namespace kvm::cli {

void addUnavailableCommand(CLI::App& app, int& status, const std::string& name,
                           const std::string& description, const std::string& reason) {
  auto* command = app.add_subcommand(name, description + " (not in this build)");
  command->allow_extras();
  command->callback([&status, name, reason] {
    std::cerr << "kavelmor " << name << ": not in this build: " << reason << '\n';
    status = 1;
  });
}

}  // namespace kvm::cli
