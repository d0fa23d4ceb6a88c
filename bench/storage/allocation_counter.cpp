// Replaces the global allocation functions of the benchmark program to count calls; kept
// in a source of its own so no caller inlines the pair.
#include "bench/storage/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> allocations{0};  // NOLINT: the instrument of this program
}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  // The replacement allocator cannot allocate through new itself.
  // NOLINTNEXTLINE(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);  // NOLINT(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);  // NOLINT(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
}

namespace kvm::bench {
long long allocationCount() {
  return allocations.load(std::memory_order_relaxed);
}
}  // namespace kvm::bench
