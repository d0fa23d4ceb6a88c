#include <fstream>
#include <iostream>
#include <memory>

#include "apps/kavelmor/commands.h"
#include "apps/kavelmor/script/script_session.h"

namespace kvm::cli {

namespace {

struct ScriptArguments {
  std::string file;
  std::string home;
};

int runScriptCommand(const ScriptArguments& arguments) {
  script::SessionOptions options;
  if (!arguments.home.empty()) {
    options.home = arguments.home;
  }
  if (arguments.file == "-") {
    return script::runScript(std::cin, std::cout, options);
  }
  std::ifstream file(arguments.file, std::ios::binary);
  if (!file) {
    std::cout << R"({"error": "cannot open the script file"})" << '\n';
    return 2;
  }
  return script::runScript(file, std::cout, options);
}

}  // namespace

void addScriptCommand(CLI::App& app, int& status) {
  auto arguments = std::make_shared<ScriptArguments>();
  auto* command = app.add_subcommand("script", "Play a host script and print its events");
  command->add_option("--home", arguments->home, "Folder for this session's program directory and settings");
  command->add_option("FILE", arguments->file, "The script (- for standard input)")->required();
  command->callback([arguments, &status] { status = runScriptCommand(*arguments); });
}

}  // namespace kvm::cli
