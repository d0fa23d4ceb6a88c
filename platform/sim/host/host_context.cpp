#include "platform/sim/host/host_context.h"

#include "base/text.h"

namespace kvm::sim {

std::optional<std::u16string> findTableName(const std::vector<std::u16string>& table,
                                            std::u16string_view name) {
  for (const std::u16string& entry : table) {
    if (equalsIgnoringAsciiCase(entry, name)) {
      return entry;
    }
  }
  return std::nullopt;
}

}  // namespace kvm::sim
