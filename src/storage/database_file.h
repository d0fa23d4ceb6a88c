#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/runtime_error.h"
#include "model/flashing.h"
#include "storage/settings_store.h"

namespace kvm {

inline constexpr const char* kDatabaseFileName = "Kavelmor.dat";
// The file "restore defaults" reads the built-in database through.
inline constexpr const char* kRestoreTemporaryFileName = "a03e.dat";

// programDirectory/Kavelmor.dat
std::filesystem::path databasePath(const std::filesystem::path& programDirectory);

// Reads a database file into the table a load gives (26 records at most, trimmed).
// Malformed contents raise DatabaseFormatError, file failures RuntimeError.
LibraryTable readDatabaseFile(const std::filesystem::path& file);

// The load of the settings dialog: when the file does not exist it is first written from
// the built-in database (creating its folder) and dangSel becomes "0,0,0"; then it is read.
struct LoadedDatabase {
  LibraryTable table;
  bool createdFromBuiltin = false;
};
LoadedDatabase loadDatabase(const std::filesystem::path& file, SettingsStore& settings);

// A load that recovers from a file it cannot read: the file is moved aside (never deleted),
// so that the next load starts again from the built-in database, and the failure is
// returned with where the file went. The table is then empty.
struct DatabaseLoad {
  LibraryTable table;
  bool createdFromBuiltin = false;
  std::optional<RuntimeError> failure;
  std::optional<std::filesystem::path> movedTo;
};
DatabaseLoad loadDatabaseWithRecovery(const std::filesystem::path& file, SettingsStore& settings);

// The message for a failed load: the error's description, then where the file went.
std::u16string failedLoadMessage(const DatabaseLoad& load);

// Writes the whole table (records 0 to its upper bound) so that a failure at any moment
// leaves the previous file intact; the failure is raised as a run-time error.
void saveDatabase(const std::filesystem::path& file, const LibraryTable& table);

// The table part of "restore defaults": the built-in database written to
// programDirectory/a03e.dat, loaded from there and the temporary file deleted again. The
// database file itself is not touched.
LibraryTable restoreDefaultTable(const std::filesystem::path& programDirectory);

}  // namespace kvm
