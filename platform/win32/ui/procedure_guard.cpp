#include "platform/win32/ui/procedure_guard.h"

#include <string>

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm::win32 {

namespace {

// Window messages reach a thread's procedures only through that thread's loops, so the state
// that joins them belongs to the thread.
thread_local std::exception_ptr kept;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
thread_local int modalLoops = 0;       // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

void logDropped(const std::exception_ptr& error) noexcept {
  std::u16string text = u"Kavelmor: a window's handler failed outside any dialog: ";
  try {
    std::rethrow_exception(error);
  } catch (const RuntimeError& failure) {
    text += failure.description();
  } catch (const std::exception& failure) {
    text += fromUtf8(failure.what());
  } catch (...) {
    text += u"unknown failure";
  }
  text += u"\n";
  OutputDebugStringW(reinterpret_cast<const wchar_t*>(text.c_str()));  // NOLINT: UTF-16 both
}

}  // namespace

void keepWindowException(std::exception_ptr error) noexcept {
  if (modalLoops == 0) {
    logDropped(error);
    return;
  }
  // The first failure is the one the user's action caused; what follows is its aftermath.
  if (!kept) {
    kept = std::move(error);
  }
  // Wakes the loop, which may be waiting for a message.
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool windowExceptionKept() noexcept {
  return static_cast<bool>(kept);
}

void rethrowWindowException() {
  if (kept) {
    std::exception_ptr error = std::move(kept);
    kept = nullptr;
    std::rethrow_exception(error);
  }
}

ModalLoopScope::ModalLoopScope() noexcept {
  ++modalLoops;
}

ModalLoopScope::~ModalLoopScope() {
  --modalLoops;
}

}  // namespace kvm::win32
