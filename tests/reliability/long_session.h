#pragma once

#include <cstddef>
#include <string>

namespace kvm::testing {

// A host script of a long working day: start-up, a bill of 676 flashings, one flashing of
// 8192 lines, and then every method in turn (dialogs opened and closed) until `calls` calls
// have been made; the end releases the object.
std::string longSessionScript(std::size_t calls);

}  // namespace kvm::testing
