#include "host/program_directory.h"

namespace kvm {

std::filesystem::path programDirectoryUnder(const std::filesystem::path& root) {
  auto text = root.empty() ? std::filesystem::path("C:").native() : root.native();
  while (!text.empty() && (text.back() == '/' || text.back() == '\\')) {
    text.pop_back();
  }
  text += std::filesystem::path::preferred_separator;
  text += std::filesystem::path("QORNCAD").native();
  return {text};
}

}  // namespace kvm
