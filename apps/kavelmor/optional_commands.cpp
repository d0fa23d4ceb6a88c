#include "apps/kavelmor/bill/bill_commands.h"
#include "apps/kavelmor/commands.h"
#include "apps/kavelmor/db/db_commands.h"
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
}

}  // namespace kvm::cli
