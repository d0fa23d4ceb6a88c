#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvm {

// The current-use list names flashings by text, "library:flashing", never by index, so its
// rows survive renames and deletions elsewhere.

std::u16string currentUseEntry(std::u16string_view libraryName, std::u16string_view flashingName);

// The parts of an entry split at ":": the library part before the first colon, the
// flashing part between the first and the second. hasFlashingPart is false for an entry
// without a colon.
struct CurrentUseParts {
  std::u16string library;
  std::u16string flashing;
  bool hasFlashingPart = false;
};
CurrentUseParts splitCurrentUseEntry(std::u16string_view entry);

// True when the entry begins with the library name followed by ":".
bool entryBelongsToLibrary(std::u16string_view entry, std::u16string_view libraryName);

// A library shows ticked when some entry begins with its name followed by ":".
bool isLibraryTicked(const std::vector<std::u16string>& entries, std::u16string_view libraryName);

}  // namespace kvm
