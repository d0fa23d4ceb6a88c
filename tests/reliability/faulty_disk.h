#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>

namespace kvm::testing {

// The test programs of this folder replace the platform's file calls (files/disk.h) with
// one that does the same on the real disk, in small write calls, and can fail or watch at any
// of them. The seam is a set of free functions, so the plan is one object for the program.
struct FaultPlan {
  // Calls that touch the disk while writing: the open, each write, the flush, the close, the
  // replacement of the old file by the new one and the directory sync, counted from 1 since the
  // last reset().
  std::size_t calls = 0;
  // The call that fails with this errno (and writes half its bytes first, as a full disk
  // does); nullopt: none fails.
  std::optional<std::size_t> failAt;
  int failErrno = 0;
  // Called before every counted call: a process killed there leaves the disk as it is.
  std::function<void()> beforeEachCall;

  void reset() { *this = FaultPlan{}; }
};

FaultPlan& faultPlan();

}  // namespace kvm::testing
