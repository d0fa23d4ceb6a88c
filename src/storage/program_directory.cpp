#include "storage/program_directory.h"

#include <cstdlib>
#include <string_view>

namespace kvm {
namespace {

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): read at start-up
  return value == nullptr ? std::string_view() : std::string_view(value);
}

// $XDG_variable, or ~/fallback when it is unset or not absolute, plus "kavelmor".
std::filesystem::path userFolder(const char* xdgVariable, const char* fallback) {
  const std::string_view kavelmorHome = environment("KAVELMOR_HOME");
  if (!kavelmorHome.empty()) {
    return std::filesystem::path(kavelmorHome);
  }
  const std::filesystem::path xdg(environment(xdgVariable));
  if (xdg.is_absolute()) {
    return xdg / "kavelmor";
  }
  const std::string_view home = environment("HOME");
  return std::filesystem::path(home.empty() ? "." : home) / fallback / "kavelmor";
}

}  // namespace

std::filesystem::path defaultProgramDirectoryRoot() {
  return userFolder("XDG_DATA_HOME", ".local/share");
}

std::filesystem::path defaultSettingsFolder() {
  return userFolder("XDG_CONFIG_HOME", ".config");
}

// A drive root such as "C:" must not become the drive-relative "C:QORNCAD", so the folder
// name is appended as text; an empty root stands for "C:".
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
