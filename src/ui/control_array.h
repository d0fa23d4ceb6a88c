#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm {

class Form;

// A control array: elements of one kind named NAME(0), NAME(1), ...
template <class T>
class ControlArray {
 public:
  template <class... Args>
  ControlArray(Form& form, std::u16string_view name, int32_t count, Args&&... args) {
    for (int32_t i = 0; i < count; ++i) {
      elements_.push_back(std::make_unique<T>(form, std::u16string(name) + u"(" + decimal(i) + u")",
                                              std::forward<Args>(args)...));
    }
  }

  [[nodiscard]] int32_t count() const noexcept { return static_cast<int32_t>(elements_.size()); }
  T& operator[](int32_t index) const {
    if (index < 0 || index >= count()) {
      raise(err::kSubscriptOutOfRange);
    }
    return *elements_[static_cast<std::size_t>(index)];
  }

 private:
  std::vector<std::unique_ptr<T>> elements_;
};

}  // namespace kvm
