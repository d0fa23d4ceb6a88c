#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "base/runtime_error.h"

namespace kvm {

// A dynamic array with lower bound 0 that, like the records' arrays on disk, may be
// unallocated: an array that was never created is not the same as one of no elements.
template <class T>
class DynamicArray {
 public:
  DynamicArray() = default;
  explicit DynamicArray(std::vector<T> items) : items_(std::move(items)) {}
  DynamicArray(std::initializer_list<T> items) : items_(std::vector<T>(items)) {}

  static DynamicArray unallocated() { return DynamicArray(); }
  static DynamicArray ofSize(std::size_t count) { return DynamicArray(std::vector<T>(count)); }

  [[nodiscard]] bool isAllocated() const noexcept { return items_.has_value(); }
  // Number of elements; 0 when unallocated.
  [[nodiscard]] std::size_t size() const noexcept { return items_ ? items_->size() : 0; }
  [[nodiscard]] bool empty() const noexcept { return size() == 0; }
  // The upper bound as the platform reports it: -1 for an allocated array of no elements,
  // error 9 for an unallocated one.
  [[nodiscard]] int32_t upperBound() const {
    if (!items_) {
      raise(err::kSubscriptOutOfRange);
    }
    return static_cast<int32_t>(items_->size()) - 1;
  }

  // Element access is checked: outside the bounds (or unallocated) is error 9.
  T& operator[](std::size_t index) { return checked(index); }
  const T& operator[](std::size_t index) const { return checked(index); }
  T& at(std::size_t index) { return checked(index); }
  [[nodiscard]] const T& at(std::size_t index) const { return checked(index); }

  // Iteration over an unallocated array visits nothing.
  T* begin() noexcept { return items_ ? items_->data() : nullptr; }
  T* end() noexcept { return items_ ? items_->data() + items_->size() : nullptr; }
  const T* begin() const noexcept { return items_ ? items_->data() : nullptr; }
  const T* end() const noexcept { return items_ ? items_->data() + items_->size() : nullptr; }

  // Allocates when needed (ReDim Preserve).
  void resize(std::size_t count) { vector().resize(count); }
  void reserve(std::size_t count) { vector().reserve(count); }
  void push_back(T item) { vector().push_back(std::move(item)); }
  // Removes one element; the last one leaves the array unallocated, as the platform's
  // rebuild-without-it does.
  void eraseAt(std::size_t index) {
    checked(index);
    items_->erase(items_->begin() + static_cast<std::ptrdiff_t>(index));
    if (items_->empty()) {
      items_.reset();
    }
  }
  // Erase: back to unallocated.
  void reset() noexcept { items_.reset(); }

  // The elements; allocates an empty array when unallocated.
  std::vector<T>& vector() {
    if (!items_) {
      items_.emplace();
    }
    return *items_;
  }
  // The elements of an allocated array; an unallocated one reads as no elements.
  [[nodiscard]] const std::vector<T>& elements() const noexcept {
    static const std::vector<T> kNone;
    return items_ ? *items_ : kNone;
  }

  bool operator==(const DynamicArray& other) const = default;

 private:
  const T& checked(std::size_t index) const {
    if (!items_ || index >= items_->size()) {
      raise(err::kSubscriptOutOfRange);
    }
    return (*items_)[index];
  }
  T& checked(std::size_t index) {
    if (!items_ || index >= items_->size()) {
      raise(err::kSubscriptOutOfRange);
    }
    return (*items_)[index];
  }

  std::optional<std::vector<T>> items_;
};

}  // namespace kvm
