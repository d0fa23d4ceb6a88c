// The simulated host's LISP reader on arbitrary text (two bytes a character): it reads an
// expression or fails with its own error, and what it reads prints and reads again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/runtime_error.h"
#include "platform/sim/lisp/printer.h"
#include "platform/sim/lisp/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8U)));
  }
  try {
    const auto value = kvm::sim::readLisp(text);
    (void)kvm::sim::readLisp(kvm::sim::printLisp(value));
  } catch (const kvm::RuntimeError&) {
  }
  return 0;
}
