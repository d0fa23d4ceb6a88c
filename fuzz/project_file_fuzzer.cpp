// Project files of the bill command as bytes: each one is read into a project or refused with
// one line naming the place.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/workshop/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);  // NOLINT
  try {
    (void)kvm::workshop::parseProject(text, "fuzz.json");
  } catch (const kvm::workshop::ProjectError&) {
  }
  return 0;
}
