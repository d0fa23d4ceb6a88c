// The file calls behind files/disk.h through the system's own calls, so that a write can wait
// until its bytes are on the disk (FlushFileBuffers), which the standard streams cannot.
#include <algorithm>
#include <limits>
#include <system_error>

#include "files/disk.h"
#include "platform/win32/windows_headers.h"

namespace kvm::disk {

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

// The system's last error as the portable condition callers choose their errors by.
[[noreturn]] void failWithLastError() {
  std::errc condition = std::errc::io_error;
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: condition = std::errc::no_such_file_or_directory; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: condition = std::errc::permission_denied; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: condition = std::errc::no_space_on_device; break;
    default: break;
  }
  throw std::system_error(std::make_error_code(condition));
}

HANDLE handleOf(NativeFile file) {
  // The seam keeps the handle as an integer, so that its header needs no Windows types.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  return reinterpret_cast<HANDLE>(file);
}

// Reads and writes go in pieces a DWORD can count.
constexpr std::size_t kPiece = std::size_t{1} << 30U;

}  // namespace

std::string readWholeFile(const std::filesystem::path& file) {
  const FileHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.valid()) {
    failWithLastError();
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) >
          std::numeric_limits<std::size_t>::max() / 2) {
    throw std::system_error(std::make_error_code(std::errc::io_error));
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const auto piece = static_cast<DWORD>(std::min(kPiece, bytes.size() - done));
    if (!ReadFile(handle.get(), bytes.data() + done, piece, &read, nullptr)) {
      throw std::system_error(std::make_error_code(std::errc::io_error));
    }
    if (read == 0) {
      break;  // the file shrank while being read
    }
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

NativeFile createFile(const std::filesystem::path& file) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    failWithLastError();
  }
  return reinterpret_cast<NativeFile>(handle);  // NOLINT: the seam's own
}

void writeToFile(NativeFile file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto piece = static_cast<DWORD>(std::min(kPiece, bytes.size()));
    if (!WriteFile(handleOf(file), bytes.data(), piece, &written, nullptr) || written == 0) {
      failWithLastError();
    }
    bytes.remove_prefix(written);
  }
}

void syncFile(NativeFile file) {
  if (!FlushFileBuffers(handleOf(file))) {
    failWithLastError();
  }
}

void closeFile(NativeFile file) {
  if (!CloseHandle(handleOf(file))) {
    failWithLastError();
  }
}

void abandonFile(NativeFile file) noexcept {
  CloseHandle(handleOf(file));
}

void moveEntry(const std::filesystem::path& from, const std::filesystem::path& to) {
  // A folder moves only to a name not in use: the system refuses to replace one.
  std::error_code ignored;
  const DWORD flags = std::filesystem::is_directory(from, ignored)
                          ? MOVEFILE_WRITE_THROUGH
                          : MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (!MoveFileExW(from.c_str(), to.c_str(), flags)) {
    failWithLastError();
  }
}

// A rename is durable on the system's file systems once it returns.
void syncFolder(const std::filesystem::path& /*folder*/) noexcept {}

}  // namespace kvm::disk
