#pragma once

#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KVM_HEAP_FROM_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KVM_HEAP_FROM_SANITIZER 1
#endif

#ifdef KVM_HEAP_FROM_SANITIZER
// The sanitizer runtime's own interface; GCC ships the runtime but not this header.
extern "C" std::size_t
__sanitizer_get_current_allocated_bytes();  // NOLINT(bugprone-reserved-identifier)
#else
#include <malloc.h>
#endif

namespace kvm::testing {

// Bytes the program's heap holds right now. Under AddressSanitizer the sanitizer's own
// allocator serves every allocation, and only it knows.
inline std::size_t heapInUse() {
#ifdef KVM_HEAP_FROM_SANITIZER
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

}  // namespace kvm::testing
