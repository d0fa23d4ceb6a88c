#pragma once

#include "base/variant.h"
#include "dispatch/dispatch.h"
#include "platform/sim/lisp/value.h"

namespace kvm::sim {

// What `read` hands back for a symbol or a list: the form itself, opaque to the component, so
// that `eval` gets exactly the form that was read.
class LispForm : public Dispatch {
 public:
  explicit LispForm(LispValue form) : form_(std::move(form)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"LispForm"; }

  [[nodiscard]] const LispValue& form() const { return form_; }

 private:
  LispValue form_;
};

// A LISP result as the component receives it: integers as Long, reals as Double, strings as
// String, nil as Empty, T as True, other symbols as their name, lists as Variant arrays.
Variant lispResult(const LispValue& value);

// The result of `read`: like lispResult, but symbols and lists stay forms.
Variant lispReadResult(const LispValue& value);

// An argument from the component as a LISP value: numbers, strings, Empty as nil, Booleans as
// T or nil, arrays as lists, a LispForm as its form. Other objects are a type mismatch.
LispValue lispArgument(const Variant& value);

}  // namespace kvm::sim
