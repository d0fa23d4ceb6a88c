#include "apps/kavelmor/db/terminal_text.h"

namespace kvm::cli {

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

}  // namespace kvm::cli
