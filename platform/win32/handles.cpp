#include "platform/win32/handles.h"

#include <array>

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm::win32 {

std::u16string systemMessage(DWORD code) {
  std::array<wchar_t, 512> text{};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' ||
                        text[length - 1] == L' ' || text[length - 1] == L'.')) {
    --length;
  }
  if (length == 0) {
    return u"system error " + decimal(static_cast<long long>(code));
  }
  return {reinterpret_cast<const char16_t*>(text.data()), length};  // NOLINT: UTF-16 both
}

void raiseNotCreated(std::u16string_view what, DWORD lastError) {
  std::u16string description(what);
  description += u" cannot be created";
  // GDI's creating calls often leave no last error.
  if (lastError != ERROR_SUCCESS) {
    description += u": " + systemMessage(lastError);
  }
  raise(err::kOutOfMemory, std::move(description));
}

}  // namespace kvm::win32
