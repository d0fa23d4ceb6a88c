#pragma once

#include <string_view>

#include "model/flashing.h"

namespace kvm {

// The default database the component carries: the complete bytes of a database file with
// 6 libraries and 32 flashings.
std::string_view builtinDatabaseBytes();

// The built-in database as the library table a load gives.
LibraryTable builtinLibraryTable();

}  // namespace kvm
