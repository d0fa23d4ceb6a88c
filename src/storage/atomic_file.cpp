#include <system_error>

#include "storage/file_access.h"
#include "storage/file_errors.h"

namespace kvm {

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::path fresh = file;
  fresh += ".new";
  try {
    writeWholeFile(fresh, bytes, true);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(fresh, ignored);
    throw;
  }
  std::error_code error;
  std::filesystem::rename(fresh, file, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(fresh, ignored);
    throw fileError(error, FileAccess::Write);
  }
  syncDirectory(file.parent_path());
}

}  // namespace kvm
