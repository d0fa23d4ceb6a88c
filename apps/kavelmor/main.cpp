#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

#include "apps/kavelmor/commands.h"

namespace {

// A first argument that is no option and no command: say so and what the commands are, rather
// than that a command is required.
bool unknownCommand(const CLI::App& app, int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') {
    return false;
  }
  const std::string given = argv[1];
  std::string commands;
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() == given) {
      return false;
    }
    commands += (commands.empty() ? "" : ", ") + command->get_name();
  }
  std::cerr << "kavelmor: unknown command \"" << given << "\"; the commands: " << commands
            << " (kavelmor --help)\n";
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"kavelmor: flashing take-off and cutting lists"};
  app.require_subcommand(1);
  // The same command line on every platform: an argument starting with "/" is a path.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", std::string("kavelmor ") + KVM_VERSION);
  app.footer(
      "Exit status: 0 done; 1 a refused input or a failure (the message says which); 2 a host "
      "script that stopped (script).");
  app.failure_message([](const CLI::App* /*app*/, const CLI::Error& error) {
    return "kavelmor: " + std::string(error.what()) + " (kavelmor --help)\n";
  });
  int status = 0;
  kvm::cli::addScriptCommand(app, status);
  kvm::cli::addOptionalCommands(app, status);
  if (unknownCommand(app, argc, argv)) {
    return 1;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help and version end well; a command line that cannot be used is a refused input.
    return app.exit(error) == 0 ? 0 : 1;
  }
  return status;
}
