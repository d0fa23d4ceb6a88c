// The page runs the workshop job, which a build without cairo and CLP (the Windows one) lacks.
#include "apps/kavelmor/serve/serve_command.h"
#include "apps/kavelmor/unavailable/unavailable_command.h"

namespace kvm::cli {

void addServeCommand(CLI::App& app, int& status) {
  addUnavailableCommand(app, status, "serve",
                        "The workshop page: open a plan, map its layers to flashings and make "
                        "the bill in a browser on this machine",
                        "the Windows build has no cairo and no CLP, which the page's bills need; "
                        "serve the page from the Linux build");
}

}  // namespace kvm::cli
