#include "platform/workshop/database_source.h"

#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "base/printable.h"
#include "files/staged_file.h"
#include "storage/attribute_rules.h"
#include "storage/builtin_database.h"
#include "storage/database_file.h"
#include "storage/database_problem.h"
#include "storage/program_directory.h"

namespace kvm::workshop {

namespace {

namespace fs = std::filesystem;

bool isThere(const fs::path& file) {
  std::error_code ignored;
  return fs::exists(file, ignored);
}

// The session's copy lives in its home: a temporary folder unless --home names one.
[[noreturn]] void cannotCopy(const fs::path& target, const std::error_code& error) {
  throw std::runtime_error(target.string() + ": cannot copy the database into the session: " +
                           error.message() + "; free some space there or name another --home");
}

}  // namespace

DatabaseSource databaseSource(bool builtin, const std::string& named,
                              const std::filesystem::path& home, bool homeIsTemporary) {
  if (builtin) {
    return {std::nullopt, "the built-in database"};
  }
  if (!named.empty()) {
    return {named, printable(named)};
  }
  const std::filesystem::path kept = databasePath(programDirectoryUnder(home));
  if (!homeIsTemporary && isThere(kept)) {
    return {kept, kept.string() + " (the session's own)"};
  }
  const std::filesystem::path user =
      databasePath(programDirectoryUnder(defaultProgramDirectoryRoot()));
  if (isThere(user)) {
    return {user, user.string()};
  }
  return {std::nullopt, "the built-in database (there is no " + user.string() + " yet)"};
}

void useDatabase(const DatabaseSource& source, const std::filesystem::path& home) {
  const std::filesystem::path target = databasePath(programDirectoryUnder(home));
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (error) {
    cannotCopy(target, error);
  }
  if (!source.file) {
    // A fresh session gets it from the settings dialog, as a first start would.
    if (isThere(target)) {
      files::writeFileSafely(target, builtinDatabaseBytes());
    }
    return;
  }
  const LibraryTable table = readDatabaseForCommand(*source.file);
  const std::vector<std::string> faults = attributeFaults(table);
  if (!faults.empty()) {
    std::string list;
    for (const std::string& fault : faults) {
      list += "\n  " + printable(fault);
    }
    throw std::runtime_error(printable(source.file->string()) +
                             ": values the settings dialog would not save (check it with "
                             "`kavelmor db check`):" +
                             list);
  }
  if (isThere(target) && fs::equivalent(*source.file, target, error)) {
    return;  // the session's own
  }
  fs::copy_file(*source.file, target, fs::copy_options::overwrite_existing, error);
  if (error) {
    cannotCopy(target, error);
  }
}

}  // namespace kvm::workshop
