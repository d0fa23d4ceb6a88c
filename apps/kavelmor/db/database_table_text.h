#pragma once

#include <iosfwd>

#include "model/flashing.h"

namespace kvm::cli {

// The library table as text for a terminal (UTF-8): one block per library, one row per
// flashing with its attributes.
void printLibraryTable(const LibraryTable& table, std::ostream& out);

}  // namespace kvm::cli
