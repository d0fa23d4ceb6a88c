#include "storage/database_problem.h"

#include "base/printable.h"
#include "base/text.h"
#include "storage/file_access.h"

namespace kvm {

std::string formatErrorText(const DatabaseFormatError& error) {
  return "error " + std::to_string(error.number()) + " (" + toUtf8(error.description()) +
         ") at byte " + std::to_string(error.offset()) + ": " + printable(error.location()) + ": " +
         printable(error.detail());
}

std::string notADatabase(const DatabaseFormatError& error) {
  return "not a flashing database: " + formatErrorText(error);
}

LibraryTable readDatabaseForCommand(const std::filesystem::path& file) {
  const std::string name = printable(file.string());
  std::string bytes;
  try {
    bytes = readWholeFile(file);
  } catch (const RuntimeError& error) {
    throw DatabaseFileProblem(name + ": " + toUtf8(error.description()) + " (error " +
                              std::to_string(error.number()) + ")");
  }
  if (bytes.empty()) {
    // Read as a database it would be one without libraries, and every row would miss its own.
    throw DatabaseFileProblem(name + ": the file is empty");
  }
  try {
    return readLibraryTable(bytes);
  } catch (const DatabaseFormatError& error) {
    throw DatabaseFileProblem(name + ": " + notADatabase(error));
  }
}

}  // namespace kvm
