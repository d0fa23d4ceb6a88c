#include "fuzz/fuzz_session.h"

#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "apps/kavelmor/script/script_session.h"

namespace kvm::fuzz {

int playScript(const std::string& script) {
  namespace fs = std::filesystem;
  const auto home = fs::temp_directory_path() / ("kavelmor-fuzz-" + std::to_string(::getpid()));
  std::error_code ignored;
  fs::remove_all(home, ignored);
  fs::create_directories(home);
  std::istringstream in(script);
  std::ostringstream out;
  return kvm::script::runScript(in, out, {home, {}});
}

}  // namespace kvm::fuzz
