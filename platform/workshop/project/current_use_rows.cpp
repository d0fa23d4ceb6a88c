#include "platform/workshop/project/current_use_rows.h"

#include "base/text.h"
#include "model/current_use.h"

namespace kvm::workshop {

namespace {

bool trailingBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000';
}

std::u16string_view withoutTrailingBlanks(std::u16string_view name) {
  while (!name.empty() && trailingBlank(name.back())) {
    name.remove_suffix(1);
  }
  return name;
}

// "“a”, “b”", the names as stored, line breaks shown as escapes.
std::string nameList(const std::vector<std::u16string>& names) {
  std::string list;
  for (const std::u16string& name : names) {
    std::string shown;
    for (const char c : toUtf8(name)) {
      shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    list += (list.empty() ? "\"" : ", \"") + shown + "\"";
  }
  return list.empty() ? "none" : list;
}

template <typename Items, typename NameOf>
std::vector<std::u16string> matching(const Items& items, std::u16string_view typed, NameOf nameOf) {
  std::vector<std::u16string> found;
  for (const auto& item : items) {
    const std::u16string& name = nameOf(item);
    if (!name.empty() && sameStoredName(typed, name)) {
      found.push_back(name);
    }
  }
  return found;
}

template <typename Items, typename NameOf>
std::vector<std::u16string> allNames(const Items& items, NameOf nameOf) {
  std::vector<std::u16string> names;
  for (const auto& item : items) {
    if (!nameOf(item).empty()) names.push_back(nameOf(item));
  }
  return names;
}

const FlashingLibrary* libraryNamed(const LibraryTable& table, const std::u16string& name) {
  for (const FlashingLibrary& library : table) {
    if (library.Name == name) return &library;
  }
  return nullptr;
}

}  // namespace

bool sameStoredName(std::u16string_view typed, std::u16string_view stored) {
  return typed == stored ||
         (!typed.empty() && withoutTrailingBlanks(typed) == withoutTrailingBlanks(stored));
}

std::vector<std::u16string> resolveCurrentUse(const Project& project, const LibraryTable& table) {
  const auto libraryName = [](const FlashingLibrary& library) -> const std::u16string& {
    return library.Name;
  };
  const auto flashingName = [](const Flashing& flashing) -> const std::u16string& {
    return flashing.Name;
  };
  std::vector<std::u16string> resolved;
  std::string problems;
  std::string field;
  std::vector<std::string> layers;
  // The first refused row is the field; the layers are every refused row's.
  const auto refuse = [&](std::size_t i) {
    const ProjectFlashing& flashing = project.flashings[i];
    if (field.empty()) {
      field = (flashing.field.empty() ? "currentUse[" + std::to_string(i) + "]" : flashing.field) +
              ".flashing";
    }
    layers.insert(layers.end(), flashing.layers.begin(), flashing.layers.end());
  };
  for (std::size_t i = 0; i < project.flashings.size(); ++i) {
    const std::u16string& row = project.flashings[i].currentUse;
    const CurrentUseParts parts = splitCurrentUseEntry(row);
    const std::string& place = project.flashings[i].namePlace;
    const std::string where =
        (place.empty() ? "currentUse[" + std::to_string(i) + "].flashing" : place) + " \"" +
        toUtf8(row) + "\": ";
    const std::vector<std::u16string> libraries = matching(table, parts.library, libraryName);
    if (libraries.size() != 1) {
      problems += where +
                  (libraries.empty()
                       ? "the database has no library \"" + toUtf8(parts.library) +
                             "\" (its libraries: " + nameList(allNames(table, libraryName)) + ")"
                       : "two stored libraries answer to this name: " + nameList(libraries)) +
                  "\n";
      refuse(i);
      continue;
    }
    const FlashingLibrary& library = *libraryNamed(table, libraries.front());
    const std::vector<std::u16string> flashings =
        matching(library.Flashings, parts.flashing, flashingName);
    if (flashings.size() != 1) {
      problems +=
          where +
          (flashings.empty() ? "the library \"" + toUtf8(parts.library) + "\" has no flashing \"" +
                                   toUtf8(parts.flashing) + "\" (its flashings: " +
                                   nameList(allNames(library.Flashings, flashingName)) + ")"
                             : "two stored flashings answer to this name: " + nameList(flashings)) +
          "\n";
      refuse(i);
      continue;
    }
    resolved.push_back(currentUseEntry(libraries.front(), flashings.front()));
  }
  if (!problems.empty()) {
    problems.pop_back();
    throw UnknownFlashingError(problems, field, layers);
  }
  return resolved;
}

}  // namespace kvm::workshop
