#include "apps/kavelmor/bill/bill_commands.h"
#include "apps/kavelmor/commands.h"
#include "apps/kavelmor/db/db_commands.h"
#include "apps/kavelmor/platform_commands.h"
#include "apps/kavelmor/preview/preview_command.h"
#include "apps/kavelmor/serve/serve_command.h"
#include "apps/kavelmor/takeoff/takeoff_command.h"

namespace kvm::cli {

void addOptionalCommands(CLI::App& app, int& status) {
  addDbCommands(app, status);
  addPreviewCommand(app, status);
  addBillCommands(app, status);
  addTakeoffCommand(app, status);
  addServeCommand(app, status);
  // The take-off's lines end in "\n" on every platform, so scripts read the same bytes.
  app.get_subcommand("takeoff")->preparse_callback(
      [](std::size_t /*arguments*/) { prepareStandardOutput(); });
}

}  // namespace kvm::cli
