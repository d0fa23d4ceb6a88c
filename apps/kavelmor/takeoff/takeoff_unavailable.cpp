#include "apps/kavelmor/takeoff/takeoff_command.h"

namespace kvm::cli {

// Plans are read where the drawing interchange module is built (not in the Windows build).
void addTakeoffCommand(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace kvm::cli
