#include "model/current_use.h"

#include <algorithm>

namespace kvm {

std::u16string currentUseEntry(std::u16string_view libraryName, std::u16string_view flashingName) {
  std::u16string entry;
  entry.reserve(libraryName.size() + 1 + flashingName.size());
  entry.append(libraryName).append(u":").append(flashingName);
  return entry;
}

CurrentUseParts splitCurrentUseEntry(std::u16string_view entry) {
  CurrentUseParts parts;
  const auto first = entry.find(u':');
  if (first == std::u16string_view::npos) {
    parts.library = std::u16string(entry);
    return parts;
  }
  parts.library = std::u16string(entry.substr(0, first));
  const auto rest = entry.substr(first + 1);
  parts.flashing = std::u16string(rest.substr(0, rest.find(u':')));
  parts.hasFlashingPart = true;
  return parts;
}

bool entryBelongsToLibrary(std::u16string_view entry, std::u16string_view libraryName) {
  return entry.size() > libraryName.size() && entry.starts_with(libraryName) &&
         entry[libraryName.size()] == u':';
}

bool isLibraryTicked(const std::vector<std::u16string>& entries, std::u16string_view libraryName) {
  return std::any_of(entries.begin(), entries.end(), [&](const std::u16string& entry) {
    return entryBelongsToLibrary(entry, libraryName);
  });
}

}  // namespace kvm
