#pragma once

#include <memory>
#include <string>

#include "dispatch/dispatch.h"
#include "platform/sim/lisp/environment.h"

namespace kvm::sim {

// A document's functions, indexed by LISP name.
class LispFunctions : public Dispatch {
 public:
  explicit LispFunctions(std::shared_ptr<LispEnvironment> lisp) : lisp_(std::move(lisp)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Functions"; }

 private:
  std::shared_ptr<LispEnvironment> lisp_;
};

// One function, called through `funcall`. The name is looked up at each call, so a function
// that does not exist fails only when it is called.
class LispFunction : public Dispatch {
 public:
  LispFunction(std::shared_ptr<LispEnvironment> lisp, std::u16string name)
      : lisp_(std::move(lisp)), name_(std::move(name)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Function"; }

 private:
  std::shared_ptr<LispEnvironment> lisp_;
  std::u16string name_;  // upper case
};

}  // namespace kvm::sim
