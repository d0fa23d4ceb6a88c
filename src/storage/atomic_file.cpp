#include <system_error>

#include "storage/file_access.h"

namespace kvm {

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::path fresh = file;
  fresh += ".new";
  try {
    writeWholeFile(fresh, bytes, true);
    replaceFile(fresh, file);
  } catch (...) {
    // Whatever is left beside the file is incomplete or was refused its place.
    std::error_code ignored;
    std::filesystem::remove(fresh, ignored);
    throw;
  }
  syncDirectory(file.parent_path());
}

}  // namespace kvm
