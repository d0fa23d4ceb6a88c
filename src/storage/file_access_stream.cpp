// File access through the standard streams, for platforms without the POSIX calls. The
// stream's flush hands the bytes to the system; it cannot wait for the disk.
#include <fstream>
#include <iterator>
#include <system_error>

#include "storage/file_access.h"
#include "storage/file_errors.h"

namespace kvm {

std::string readWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    throw fileError(error ? error : std::make_error_code(std::errc::no_such_file_or_directory),
                    FileAccess::Read);
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    throw RuntimeError(err::kPathFileAccess);
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    throw RuntimeError(err::kPathFileAccess);
  }
  return bytes;
}

void writeWholeFile(const std::filesystem::path& file, std::string_view bytes,
                    bool /*syncToDisk*/) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) {
    std::error_code error;
    if (!std::filesystem::exists(file.parent_path().empty() ? "." : file.parent_path(), error)) {
      throw fileError(std::make_error_code(std::errc::no_such_file_or_directory),
                      FileAccess::Write);
    }
    throw RuntimeError(err::kPathFileAccess);
  }
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (!out) {
    throw RuntimeError(err::kPathFileAccess);
  }
}

void syncDirectory(const std::filesystem::path& /*directory*/) {}

}  // namespace kvm
