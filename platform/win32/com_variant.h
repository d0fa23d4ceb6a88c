#pragma once

#include "platform/win32/windows_headers.h"

#include <utility>

namespace kvm::win32 {

// Owns one VARIANT and whatever it holds.
class ComVariant {
 public:
  ComVariant() { VariantInit(&value_); }
  ComVariant(const ComVariant&) = delete;
  ComVariant& operator=(const ComVariant&) = delete;
  ComVariant(ComVariant&& other) noexcept : ComVariant() { std::swap(value_, other.value_); }
  ComVariant& operator=(ComVariant&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
  }
  ~ComVariant() { VariantClear(&value_); }

  [[nodiscard]] VARIANT& get() { return value_; }
  [[nodiscard]] const VARIANT& get() const { return value_; }

  // Hands the content to the caller, leaving this empty.
  VARIANT detach() {
    VARIANT result = value_;
    VariantInit(&value_);
    return result;
  }
  void clear() { VariantClear(&value_); }

 private:
  VARIANT value_;
};

// Owns one SAFEARRAY.
class SafeArray {
 public:
  SafeArray() = default;
  explicit SafeArray(SAFEARRAY* array) : array_(array) {}
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;
  SafeArray(SafeArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
  SafeArray& operator=(SafeArray&& other) noexcept {
    std::swap(array_, other.array_);
    return *this;
  }
  ~SafeArray() {
    if (array_ != nullptr) {
      SafeArrayDestroy(array_);
    }
  }

  [[nodiscard]] SAFEARRAY* get() const { return array_; }
  [[nodiscard]] SAFEARRAY* detach() { return std::exchange(array_, nullptr); }

 private:
  SAFEARRAY* array_ = nullptr;
};

}  // namespace kvm::win32
