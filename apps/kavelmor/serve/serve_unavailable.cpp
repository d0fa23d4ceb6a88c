#include "apps/kavelmor/serve/serve_command.h"

namespace kvm::cli {

// The page runs the workshop job, which is not in the Windows build.
void addServeCommand(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace kvm::cli
