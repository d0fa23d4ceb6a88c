// A build without cairo (the Windows one) has no preview command.
#include "apps/kavelmor/preview/preview_command.h"

namespace kvm::cli {

void addPreviewCommand(CLI::App& /*app*/, int& /*status*/) {}

}  // namespace kvm::cli
