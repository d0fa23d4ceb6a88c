// A build without cairo (the Windows one) cannot draw a profile to a file.
#include "apps/kavelmor/preview/preview_command.h"
#include "apps/kavelmor/unavailable/unavailable_command.h"

namespace kvm::cli {

void addPreviewCommand(CLI::App& app, int& status) {
  addUnavailableCommand(app, status, "preview",
                        "Draw a flashing's profile as the settings dialog shows it",
                        "the Windows build has no cairo, which draws the profile to PNG or "
                        "SVG; the settings dialog of the component shows it");
}

}  // namespace kvm::cli
