#pragma once

#include "platform/win32/windows_headers.h"

#include <type_traits>
#include <utility>

namespace kvm::win32 {

// Owns one reference to a COM interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  ComPtr(const ComPtr& other) : pointer_(other.pointer_) { addRef(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  template <class U>
  requires std::is_convertible_v<U*, T*> ComPtr(ComPtr<U> other)
      : pointer_(other.detach()) {}  // NOLINT(google-explicit-constructor)
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  // Takes over a reference the caller already owns.
  static ComPtr attach(T* pointer) {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }
  // Adds a reference of its own.
  static ComPtr retain(T* pointer) {
    ComPtr result = attach(pointer);
    result.addRef();
    return result;
  }

  [[nodiscard]] T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // For out-parameters: drops the current reference first.
  T** put() {
    reset();
    return &pointer_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }

  // Hands the reference to the caller.
  [[nodiscard]] T* detach() { return std::exchange(pointer_, nullptr); }

  void reset() {
    if (T* old = std::exchange(pointer_, nullptr)) {
      old->Release();
    }
  }

  template <class U>
  [[nodiscard]] ComPtr<U> query() const {
    ComPtr<U> result;
    if (pointer_ != nullptr) {
      pointer_->QueryInterface(__uuidof(U), result.putVoid());
    }
    return result;
  }

 private:
  void addRef() {
    if (pointer_ != nullptr) {
      pointer_->AddRef();
    }
  }

  T* pointer_ = nullptr;
};

}  // namespace kvm::win32
