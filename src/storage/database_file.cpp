#include "storage/database_file.h"

#include <system_error>

#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "storage/file_access.h"
#include "storage/file_errors.h"
#include "storage/move_aside.h"
#include "storage/stored_settings.h"

namespace kvm {
namespace {

void createFolderOf(const std::filesystem::path& file) {
  if (file.parent_path().empty()) {
    return;
  }
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) {
    throw fileError(error, FileAccess::Write);
  }
}

// Deletes the temporary file on every way out.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path file) : file_(std::move(file)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
  }

 private:
  std::filesystem::path file_;
};

}  // namespace

std::filesystem::path databasePath(const std::filesystem::path& programDirectory) {
  return programDirectory / kDatabaseFileName;
}

LibraryTable readDatabaseFile(const std::filesystem::path& file) {
  return readLibraryTable(readWholeFile(file));
}

LoadedDatabase loadDatabase(const std::filesystem::path& file, SettingsStore& settings) {
  LoadedDatabase result;
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    createFolderOf(file);
    writeFileAtomically(file, builtinDatabaseBytes());
    settings.save(kDangSelKey, kFreshDangSel);
    result.createdFromBuiltin = true;
  }
  result.table = readDatabaseFile(file);
  return result;
}

DatabaseLoad loadDatabaseWithRecovery(const std::filesystem::path& file, SettingsStore& settings) {
  DatabaseLoad result;
  try {
    LoadedDatabase loaded = loadDatabase(file, settings);
    result.table = std::move(loaded.table);
    result.createdFromBuiltin = loaded.createdFromBuiltin;
  } catch (const RuntimeError& failure) {
    result.failure = failure;
    try {
      result.movedTo = moveFileAside(file);
    } catch (const RuntimeError&) {
      // The file stays where it is; the message then names no new place.
    }
  }
  return result;
}

std::u16string failedLoadMessage(const DatabaseLoad& load) {
  if (!load.failure) {
    return {};
  }
  std::u16string message = load.failure->description();
  if (load.movedTo) {
    message += u"\r\n损坏的数据库文件已改名保存为：" + load.movedTo->u16string();
  }
  return message;
}

void saveDatabase(const std::filesystem::path& file, const LibraryTable& table) {
  const std::string bytes = writeLibraryTable(table);
  writeFileAtomically(file, bytes);
}

LibraryTable restoreDefaultTable(const std::filesystem::path& programDirectory) {
  const std::filesystem::path temporary = programDirectory / kRestoreTemporaryFileName;
  std::error_code error;
  std::filesystem::remove(temporary, error);
  if (error) {
    throw fileError(error, FileAccess::Write);
  }
  const TemporaryFile cleanup(temporary);
  writeWholeFile(temporary, builtinDatabaseBytes(), false);
  return readDatabaseFile(temporary);
}

}  // namespace kvm
