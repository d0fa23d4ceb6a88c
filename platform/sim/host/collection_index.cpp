#include "platform/sim/host/collection_index.h"

#include "base/runtime_error.h"

namespace kvm::sim {

std::size_t collectionIndex(const Variant& index, std::size_t size) {
  const int32_t position = toLong(index);
  if (position < 0 || static_cast<std::size_t>(position) >= size) {
    raise(err::kInvalidCall);
  }
  return static_cast<std::size_t>(position);
}

}  // namespace kvm::sim
