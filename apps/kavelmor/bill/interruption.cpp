#include "apps/kavelmor/bill/interruption.h"

#include <stdexcept>
#include <string>

namespace kvm::cli {

namespace {

// A signal handler can only leave a note; this is it.
volatile std::sig_atomic_t signalled =
    0;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

extern "C" void noteSignal(int number) {
  signalled = number;
}

}  // namespace

InterruptionGuard::InterruptionGuard() {
  signalled = 0;
  struct sigaction action {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &oldInterrupt_);
  sigaction(SIGTERM, &action, &oldTerminate_);
}

InterruptionGuard::~InterruptionGuard() {
  sigaction(SIGINT, &oldInterrupt_, nullptr);
  sigaction(SIGTERM, &oldTerminate_, nullptr);
}

void InterruptionGuard::check() {
  if (signalled != 0) {
    throw std::runtime_error(
        std::string(signalled == SIGINT ? "interrupted (Ctrl-C)" : "stopped (SIGTERM)") +
        "; the output folder is left as it was");
  }
}

}  // namespace kvm::cli
