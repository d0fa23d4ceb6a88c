#include "platform/win32/handles.h"

#include <gtest/gtest.h>

#include <utility>

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm::win32 {
namespace {

bool isOpen(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE newEvent() {
  return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

TEST(handles, a_handle_is_closed_once_on_every_path_out) {
  HANDLE raw = newEvent();
  {
    const UniqueKernelHandle owned(raw);
    EXPECT_TRUE(isOpen(raw));
  }
  EXPECT_FALSE(isOpen(raw));

  // Moved: the new owner closes it, the old one has nothing left to close.
  raw = newEvent();
  UniqueKernelHandle first(raw);
  {
    const UniqueKernelHandle second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT: checking the moved-from state is the point
    EXPECT_TRUE(isOpen(raw));
  }
  EXPECT_FALSE(isOpen(raw));

  // Replaced: the one held before goes at once; released: the caller owns it.
  HANDLE before = newEvent();
  HANDLE after = newEvent();
  UniqueKernelHandle held(before);
  held.reset(after);
  EXPECT_FALSE(isOpen(before));
  EXPECT_TRUE(isOpen(after));
  HANDLE released = held.release();
  held.reset();
  EXPECT_TRUE(isOpen(released));
  CloseHandle(released);
}

TEST(handles, a_failed_creation_raises_out_of_memory_with_the_systems_reason) {
  // A window of a class nobody registered: the system says why.
  try {
    const UniqueWindow window(created(u"the test's window", [&] {
      return CreateWindowExW(0, L"KavelmorNoSuchClass", L"", 0, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    }));
    ADD_FAILURE() << "a window of no class was made";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), err::kOutOfMemory);
    const std::string text = toUtf8(error.description());
    EXPECT_EQ(text.rfind("the test's window cannot be created: ", 0), 0U) << text;
    EXPECT_GT(text.size(), std::string("the test's window cannot be created: ").size()) << text;
    EXPECT_NE(text.back(), '.') << text;  // the system's full stop is dropped
  }

  // A call that fails without saying why leaves no reason, not an earlier call's.
  SetLastError(ERROR_CLASS_ALREADY_EXISTS);
  try {
    created(u"the test's font", [] { return HFONT{}; });
    ADD_FAILURE() << "no handle passed as one";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), err::kOutOfMemory);
    EXPECT_EQ(error.description(), u"the test's font cannot be created");
  }

  HANDLE event = newEvent();
  EXPECT_EQ(created(u"the test's event", [event] { return event; }), event);
  CloseHandle(event);
}

}  // namespace
}  // namespace kvm::win32
