#include "platform/workshop/database_source.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "base/text.h"
#include "files/staged_file.h"
#include "storage/attribute_rules.h"
#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "storage/database_file.h"
#include "storage/program_directory.h"

namespace kvm::workshop {

namespace {

std::string describe(const DatabaseFormatError& error) {
  return "error " + std::to_string(error.number()) + " (" + toUtf8(error.description()) +
         ") at byte " + std::to_string(error.offset()) + ": " + error.location() + ": " +
         error.detail();
}

}  // namespace

DatabaseSource databaseSource(bool builtin, const std::string& named,
                              const std::filesystem::path& home, bool homeIsTemporary) {
  if (builtin) {
    return {std::nullopt, "the built-in database"};
  }
  if (!named.empty()) {
    return {named, named};
  }
  const std::filesystem::path kept = databasePath(programDirectoryUnder(home));
  if (!homeIsTemporary && std::filesystem::exists(kept)) {
    return {kept, kept.string() + " (the session's own)"};
  }
  const std::filesystem::path user =
      databasePath(programDirectoryUnder(defaultProgramDirectoryRoot()));
  if (std::filesystem::exists(user)) {
    return {user, user.string()};
  }
  return {std::nullopt, "the built-in database (there is no " + user.string() + " yet)"};
}

void useDatabase(const DatabaseSource& source, const std::filesystem::path& home) {
  const std::filesystem::path target = databasePath(programDirectoryUnder(home));
  std::filesystem::create_directories(target.parent_path());
  if (!source.file) {
    // A fresh session gets it from the settings dialog, as a first start would.
    if (std::filesystem::exists(target)) {
      files::writeFileSafely(target, builtinDatabaseBytes());
    }
    return;
  }
  LibraryTable table;
  try {
    table = readDatabaseFile(*source.file);
  } catch (const DatabaseFormatError& error) {
    throw std::runtime_error(source.file->string() + ": not a usable database: " + describe(error));
  } catch (const RuntimeError& error) {
    throw std::runtime_error(source.file->string() + ": " + toUtf8(error.description()));
  }
  const std::vector<std::string> faults = attributeFaults(table);
  if (!faults.empty()) {
    std::string list;
    for (const std::string& fault : faults) {
      list += "\n  " + fault;
    }
    throw std::runtime_error(source.file->string() +
                             ": values the settings dialog would not save (check it with "
                             "`kavelmor db check`):" +
                             list);
  }
  if (std::filesystem::exists(target) && std::filesystem::equivalent(*source.file, target)) {
    return;  // the session's own
  }
  std::filesystem::copy_file(*source.file, target,
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace kvm::workshop
