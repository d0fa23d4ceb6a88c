// Host scripts as bytes: the runner's line splitting, its JSON steps and automation values,
// and whatever the steps reach in the component. A session is cut at 64 lines so that one
// input stays quick.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string script(reinterpret_cast<const char*>(data), size);  // NOLINT
  std::size_t lines = 0;
  for (std::size_t at = 0; at < script.size(); ++at) {
    if (script[at] == '\n' && ++lines == 64) {
      script.resize(at);
      break;
    }
  }
  kvm::fuzz::playScript(script);
  return 0;
}
