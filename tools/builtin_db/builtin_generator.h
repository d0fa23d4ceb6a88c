#pragma once

#include <string>

#include "model/flashing.h"

namespace kvm::builtin {

// The default database built from the table of values; the same bytes on every run.
LibraryTable generateTable();
std::string generateDatabase();

}  // namespace kvm::builtin
