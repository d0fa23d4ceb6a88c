// A build without cairo and CLP (the Windows one) cannot run the workshop job.
#include <string>

#include "apps/kavelmor/bill/bill_commands.h"
#include "apps/kavelmor/unavailable/unavailable_command.h"

namespace kvm::cli {

void addBillCommands(CLI::App& app, int& status) {
  const std::string reason =
      "the Windows build has no cairo, which draws the profile pictures and shop.pdf, and no "
      "CLP, which plans the coil order; make bills with the Linux build";
  addUnavailableCommand(app, status, "bill", "Draw the bill of a project into the output folder",
                        reason);
  addUnavailableCommand(app, status, "demo", "The main job on a sample workshop in a fresh session",
                        reason);
}

}  // namespace kvm::cli
