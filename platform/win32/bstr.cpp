#include "platform/win32/bstr.h"

#include "base/runtime_error.h"

namespace kvm::win32 {

Bstr::Bstr(std::u16string_view text) : value_(allocBstr(text)) {}

std::u16string fromBstr(const OLECHAR* value) {
  if (value == nullptr) {
    return {};
  }
  // The length prefix counts, not a terminating zero: a string may hold zeros.
  const UINT length = SysStringLen(const_cast<BSTR>(value));
  return {reinterpret_cast<const char16_t*>(value), length};
}

BSTR allocBstr(std::u16string_view text) {
  BSTR value = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                 static_cast<UINT>(text.size()));
  if (value == nullptr) {
    raise(err::kOutOfMemory);
  }
  return value;
}

}  // namespace kvm::win32
