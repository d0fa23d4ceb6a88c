#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "model/flashing.h"
#include "storage/database_codec.h"

namespace kvm {

// What is wrong with bytes read as a flashing database, in words a terminal may show (the
// record names a foreign file gives are escaped): "error 9 (…) at byte 12: library 1 "…": 4
// elements need 32 bytes, 20 remain".
std::string formatErrorText(const DatabaseFormatError& error);
// "not a flashing database: " and the above.
std::string notADatabase(const DatabaseFormatError& error);

// A database file a command cannot use, in one line that names it: "FILE: the file is empty",
// "FILE: not a flashing database: …", "FILE: File not found (error 53)".
class DatabaseFileProblem : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file's table as readDatabaseFile gives it; every failure a DatabaseFileProblem.
LibraryTable readDatabaseForCommand(const std::filesystem::path& file);

}  // namespace kvm
