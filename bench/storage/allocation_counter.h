#pragma once

namespace kvm::bench {

// Heap allocations of the whole process so far (operator new is replaced in this program).
long long allocationCount();

}  // namespace kvm::bench
