#pragma once

#include <string_view>
#include <vector>

#include "base/variant.h"
#include "dispatch/dispatch.h"

namespace kvm::sim {

// One late-bound call on a simulated host object, matched member by member:
//
//   MemberCall call(name, kind, args);
//   if (call.get(u"Count")) return ...;
//   if (call.put(u"Visible")) { ...call.value()...; return {}; }
//   call.fail();
//
// Method calls and property reads are alike, as the host's late binding treats them. A known
// member called with the wrong number of arguments, or assigned when it cannot be, fails with
// 450; an unknown member with 438.
class MemberCall {
 public:
  MemberCall(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args)
      : name_(name), kind_(kind), args_(args) {}

  bool get(std::u16string_view member, std::size_t minimum = 0) {
    return get(member, minimum, minimum);
  }
  bool get(std::u16string_view member, std::size_t minimum, std::size_t maximum);
  bool put(std::u16string_view member);

  [[nodiscard]] std::size_t count() const { return args_.size(); }
  [[nodiscard]] const Variant& arg(std::size_t index) const { return args_[index]; }
  // Arguments passed by reference get their results here.
  [[nodiscard]] Variant& byRef(std::size_t index) { return args_[index]; }
  [[nodiscard]] const std::vector<Variant>& args() const { return args_; }
  // The value assigned by a property put.
  [[nodiscard]] const Variant& value() const { return args_.back(); }

  [[noreturn]] void fail() const;

 private:
  bool named(std::u16string_view member);

  std::u16string_view name_;
  InvokeKind kind_;
  std::vector<Variant>& args_;
  bool known_ = false;
};

}  // namespace kvm::sim
