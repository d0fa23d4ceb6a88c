#include <CLI/CLI.hpp>

#include "apps/kavelmor/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"kavelmor: flashing take-off and cutting lists"};
  app.require_subcommand(1);
  // The same command line on every platform: an argument starting with "/" is a path.
  app.allow_windows_style_options(false);
  int status = 0;
  kvm::cli::addScriptCommand(app, status);
  kvm::cli::addOptionalCommands(app, status);
  CLI11_PARSE(app, argc, argv);
  return status;
}
