#include "apps/kavelmor/commands.h"

namespace kvm::cli {

void addOptionalCommands(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace kvm::cli
