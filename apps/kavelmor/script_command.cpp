#include <fstream>
#include <iostream>
#include <memory>

#include "apps/kavelmor/commands.h"
#include "apps/kavelmor/platform_commands.h"
#include "apps/kavelmor/script/script_session.h"

namespace kvm::cli {

namespace {

struct ScriptArguments {
  std::string file;
  std::string home;
  bool com = false;
};

int play(std::istream& script, const ScriptArguments& arguments,
         const script::SessionOptions& options) {
  return arguments.com ? runScriptThroughCom(script, std::cout, options)
                       : script::runScript(script, std::cout, options);
}

int runScriptCommand(const ScriptArguments& arguments) {
  script::SessionOptions options;
  if (!arguments.home.empty()) {
    options.home = arguments.home;
  }
  prepareStandardOutput();
  if (arguments.file == "-") {
    return play(std::cin, arguments, options);
  }
  std::ifstream file(arguments.file, std::ios::binary);
  if (!file) {
    std::cout << R"({"error": "cannot open the script file"})" << '\n';
    return 2;
  }
  return play(file, arguments, options);
}

}  // namespace

void addScriptCommand(CLI::App& app, int& status) {
  auto arguments = std::make_shared<ScriptArguments>();
  auto* command = app.add_subcommand("script", "Play a host script and print its events");
  command->add_option("--home", arguments->home,
                      "Folder for this session's program directory and settings");
  command->add_flag("--com", arguments->com,
                    "Call the component through its COM server, as the CAD host does (Windows: "
                    "the server's test build KavelmorTest.dll beside this program)");
  command->add_option("FILE", arguments->file, "The script (- for standard input)")->required();
  command->callback([arguments, &status] { status = runScriptCommand(*arguments); });
}

}  // namespace kvm::cli
