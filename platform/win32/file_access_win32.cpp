// Whole-file access through the system's own calls, so that a save can wait until its bytes
// are on the disk (FlushFileBuffers), which the standard streams cannot.
#include <limits>
#include <system_error>
#include <utility>

#include "platform/win32/windows_headers.h"
#include "storage/file_access.h"
#include "storage/file_errors.h"

namespace kvm {

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&&) = delete;
  FileHandle& operator=(FileHandle&&) = delete;
  ~FileHandle() {
    if (valid()) {
      CloseHandle(handle_);
    }
  }
  [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  [[nodiscard]] HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The system's last error as the portable condition the run-time errors are chosen by.
std::error_code lastFileError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return std::make_error_code(std::errc::permission_denied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
    default: return std::make_error_code(std::errc::io_error);
  }
}

// Reads and writes go in pieces a DWORD can count.
constexpr std::size_t kPiece = std::size_t{1} << 30U;

}  // namespace

std::string readWholeFile(const std::filesystem::path& file) {
  const FileHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) {
    throw fileError(lastFileError(), FileAccess::Read);
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) >
          std::numeric_limits<std::size_t>::max() / 2) {
    throw RuntimeError(err::kPathFileAccess);
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const auto piece = static_cast<DWORD>(std::min(kPiece, bytes.size() - done));
    if (!ReadFile(handle.get(), bytes.data() + done, piece, &read, nullptr)) {
      throw RuntimeError(err::kPathFileAccess);
    }
    if (read == 0) {
      break;  // the file shrank while being read
    }
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

void writeWholeFile(const std::filesystem::path& file, std::string_view bytes, bool syncToDisk) {
  const FileHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) {
    throw fileError(lastFileError(), FileAccess::Write);
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const auto piece = static_cast<DWORD>(std::min(kPiece, bytes.size() - done));
    if (!WriteFile(handle.get(), bytes.data() + done, piece, &written, nullptr) || written == 0) {
      throw fileError(lastFileError(), FileAccess::Write);
    }
    done += written;
  }
  if (syncToDisk && !FlushFileBuffers(handle.get())) {
    throw fileError(lastFileError(), FileAccess::Write);
  }
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw fileError(lastFileError(), FileAccess::Write);
  }
}

// A rename is durable on the system's file systems once it returns.
void syncDirectory(const std::filesystem::path& /*directory*/) {}

}  // namespace kvm
