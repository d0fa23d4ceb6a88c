#include "storage/file_access.h"

#include <system_error>

#include "files/disk.h"
#include "files/file_write_error.h"
#include "files/staged_file.h"
#include "storage/file_errors.h"

namespace kvm {

std::string readWholeFile(const std::filesystem::path& file) {
  try {
    return disk::readWholeFile(file);
  } catch (const std::system_error& error) {
    throw fileError(error.code(), FileAccess::Read);
  }
}

void writeWholeFile(const std::filesystem::path& file, std::string_view bytes, bool syncToDisk) {
  try {
    const disk::NativeFile handle = disk::createFile(file);
    try {
      disk::writeToFile(handle, bytes);
      if (syncToDisk) {
        disk::syncFile(handle);
      }
    } catch (...) {
      disk::abandonFile(handle);
      throw;
    }
    disk::closeFile(handle);
  } catch (const std::system_error& error) {
    throw fileError(error.code(), FileAccess::Write);
  }
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  try {
    disk::moveEntry(from, to);
  } catch (const std::system_error& error) {
    throw fileError(error.code(), FileAccess::Write);
  }
}

void syncDirectory(const std::filesystem::path& directory) {
  disk::syncFolder(directory);
}

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  try {
    files::writeFileSafely(file, bytes);
  } catch (const files::FileWriteError& error) {
    throw fileError(error.reason(), FileAccess::Write);
  }
}

}  // namespace kvm
