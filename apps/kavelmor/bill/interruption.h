#pragma once

#include <csignal>

namespace kvm::cli {

// While it lives, Ctrl-C and SIGTERM do not end the program at once but are noted, so that the
// job can stop between two steps and its temporary files go with the objects that own them.
// The previous handlers come back when it ends.
class InterruptionGuard {
 public:
  InterruptionGuard();
  InterruptionGuard(const InterruptionGuard&) = delete;
  InterruptionGuard& operator=(const InterruptionGuard&) = delete;
  InterruptionGuard(InterruptionGuard&&) = delete;
  InterruptionGuard& operator=(InterruptionGuard&&) = delete;
  ~InterruptionGuard();

  // Throws Interrupted once a signal has come.
  static void check();

 private:
  struct sigaction oldInterrupt_ {};
  struct sigaction oldTerminate_ {};
};

}  // namespace kvm::cli
