#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kvm::workshop {

// Where the session's database comes from, and what the first progress line calls it.
struct DatabaseSource {
  std::optional<std::filesystem::path> file;  // none: the built-in database
  std::string description;
};

// The database a job starts from: the built-in one when asked, the named file, the session's
// own in a kept home, the user's, or the built-in one while the user has none.
DatabaseSource databaseSource(bool builtin, const std::string& named,
                              const std::filesystem::path& home, bool homeIsTemporary);

// Puts the chosen database where the session's settings dialog loads it, after reading it
// through: a file that cannot be used is reported by the name the user knows.
void useDatabase(const DatabaseSource& source, const std::filesystem::path& home);

}  // namespace kvm::workshop
