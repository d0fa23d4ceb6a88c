#pragma once

#include "platform/win32/windows_headers.h"

#include <string>
#include <string_view>
#include <utility>

namespace kvm::win32 {

// Owns one automation string.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text);
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
  }
  ~Bstr() { SysFreeString(value_); }

  [[nodiscard]] BSTR get() const { return value_; }
  [[nodiscard]] BSTR detach() { return std::exchange(value_, nullptr); }
  BSTR* put() {
    SysFreeString(std::exchange(value_, nullptr));
    return &value_;
  }

 private:
  BSTR value_ = nullptr;
};

// The text of an automation string; a null string is the empty text.
std::u16string fromBstr(const OLECHAR* value);
// Allocates an automation string (thrown as Out of memory when that fails).
BSTR allocBstr(std::u16string_view text);

// The same text seen as the system's wide characters (both are UTF-16 here).
inline const wchar_t* wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string fromWide(const wchar_t* text) {
  return text == nullptr ? std::u16string()
                         : std::u16string(reinterpret_cast<const char16_t*>(text));
}

}  // namespace kvm::win32
