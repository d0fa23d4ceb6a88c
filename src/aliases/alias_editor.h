#pragma once

namespace kvm {

struct ProcessContext;

// Opens the command alias editor modally (the settings dialog's help command); returns when
// it has closed.
void showAliasEditor(ProcessContext& process);

}  // namespace kvm
