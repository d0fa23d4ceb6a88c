#pragma once

#include <cstddef>

#include "base/variant.h"

namespace kvm::sim {

// A zero-based numeric index into a collection of `size` items; outside it is error 5.
std::size_t collectionIndex(const Variant& index, std::size_t size);

}  // namespace kvm::sim
