#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/flashing.h"
#include "platform/workshop/project/located_error.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// Current-use rows that name no flashing of the database; what() lists every such row with
// what the database holds instead, one row a line; field() is the first such row's flashing.
class UnknownFlashingError : public LocatedError {
 public:
  using LocatedError::LocatedError;
};

// Whether a name typed by the user stands for a stored name: equal, or equal to the stored name
// without the line breaks and blanks some stored names carry at their end.
bool sameStoredName(std::u16string_view typed, std::u16string_view stored);

// Every current-use row as the database spells it, in the project's order, so that the settings
// dialog finds each one. Throws UnknownFlashingError when a row's library or flashing is not
// there or matches two stored names.
std::vector<std::u16string> resolveCurrentUse(const Project& project, const LibraryTable& table);

}  // namespace kvm::workshop
