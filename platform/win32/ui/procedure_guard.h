#pragma once

#include "platform/win32/windows_headers.h"

#include <exception>

namespace kvm::win32 {

// Nothing thrown may unwind through the system's window code. A window procedure runs its
// body through guardProcedure: what the model's handlers throw is kept for the modal loop that
// dispatched the message, which ends and throws it on in the method that showed the dialog, as
// it would have reached that method without windows. Thrown with no modal loop running (the
// host's own loop), it is logged and dropped.
//
// The kept exception is per thread, as the system's window messages are.
void keepWindowException(std::exception_ptr error) noexcept;
[[nodiscard]] bool windowExceptionKept() noexcept;
// Throws the kept exception, if any, and forgets it.
void rethrowWindowException();

// Counts the modal loops running on this thread while it lives.
class ModalLoopScope {
 public:
  ModalLoopScope() noexcept;
  ModalLoopScope(const ModalLoopScope&) = delete;
  ModalLoopScope& operator=(const ModalLoopScope&) = delete;
  ModalLoopScope(ModalLoopScope&&) = delete;
  ModalLoopScope& operator=(ModalLoopScope&&) = delete;
  ~ModalLoopScope();
};

template <class Body>
LRESULT guardProcedure(Body&& body, LRESULT failed = 0) noexcept {
  try {
    return body();
  } catch (...) {
    keepWindowException(std::current_exception());
    return failed;
  }
}

}  // namespace kvm::win32
