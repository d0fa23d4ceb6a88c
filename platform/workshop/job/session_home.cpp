#include "platform/workshop/job/session_home.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kvm::workshop {

SessionHome::SessionHome(const std::optional<std::filesystem::path>& given) {
  if (given) {
    path_ = *given;
    std::filesystem::create_directories(path_);
    return;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "kavelmor-bill-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder under " +
                             std::filesystem::temp_directory_path().string());
  }
  path_ = buffer.data();
  temporary_ = true;
}

SessionHome::~SessionHome() {
  if (temporary_) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
}

}  // namespace kvm::workshop
