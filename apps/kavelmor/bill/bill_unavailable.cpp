// A build without cairo (the Windows one) has no bill command.
#include "apps/kavelmor/bill/bill_commands.h"

namespace kvm::cli {

void addBillCommands(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace kvm::cli
