#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kvm {

// Run-time error numbers as the automation platform reports them.
namespace err {
inline constexpr int32_t kInvalidCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kDivisionByZero = 11;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kInputPastEnd = 62;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kInvalidUseOfNull = 94;
inline constexpr int32_t kMemberNotFound = 438;
inline constexpr int32_t kArgumentNotOptional = 449;
inline constexpr int32_t kWrongArgumentCount = 450;
}  // namespace err

// The platform's own description of a run-time error number.
std::u16string standardDescription(int32_t number);

// A run-time error: what a host or the user sees is its number and description.
class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(int32_t number);
  RuntimeError(int32_t number, std::u16string description);

  [[nodiscard]] int32_t number() const noexcept { return number_; }
  [[nodiscard]] const std::u16string& description() const noexcept { return description_; }
  [[nodiscard]] const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  int32_t number_;
  std::u16string description_;
  std::string utf8_;
};

[[noreturn]] void raise(int32_t number);
[[noreturn]] void raise(int32_t number, std::u16string description);

}  // namespace kvm
