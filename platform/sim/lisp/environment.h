#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/lisp/value.h"

namespace kvm::sim {

// The LISP namespace of one drawing: its variables (document variables and setq variables
// are one table here), the functions defined with defun, and the host's command functions.
// Variables bind dynamically, as in the host's engine: a call binds its parameters and locals
// and restores their earlier values when it returns, also when it fails.
class LispEnvironment {
 public:
  // How getvar and setvar reach the drawing's system variables. `get` answers nullopt for an
  // unknown name; `set` answers false when the drawing refuses the value.
  struct SystemVariables {
    std::function<std::optional<LispValue>(std::u16string_view upperName)> get;
    std::function<bool(std::u16string_view upperName, const LispValue& value)> set;
  };
  using HostCommand = std::function<LispValue(const std::vector<LispValue>& args)>;

  explicit LispEnvironment(SystemVariables systemVariables = {});

  LispValue evaluate(const LispValue& form);
  LispValue evaluateText(std::u16string_view text);

  // Calls the function of that name with arguments already evaluated: a defun'd function,
  // a host command or a built-in, in that order.
  LispValue apply(std::u16string_view name, std::vector<LispValue> args);

  void defineHostCommand(std::u16string_view name, HostCommand command);

  [[nodiscard]] LispValue variable(std::u16string_view name) const;
  void setVariable(std::u16string_view name, LispValue value);
  // Only variables that are not nil.
  [[nodiscard]] const std::map<std::u16string, LispValue, std::less<>>& variables() const {
    return variables_;
  }
  // The names of the defun'd functions, sorted.
  [[nodiscard]] std::vector<std::u16string> functionNames() const;

  [[nodiscard]] std::optional<LispValue> systemVariable(std::u16string_view name) const;
  [[nodiscard]] bool setSystemVariable(std::u16string_view name, const LispValue& value);

  // Strings built during one evaluation count against its string space.
  void chargeStringSpace(std::size_t units);

  // Deeper evaluations fail with an error long before the thread's stack runs out; longer
  // or greedier ones fail instead of holding the host for good.
  static constexpr int kMaxEvaluationDepth = 400;
  static constexpr std::size_t kMaxEvaluationSteps = 200'000;
  static constexpr std::size_t kMaxStringSpace = std::size_t{1} << 24U;

 private:
  struct UserFunction {
    std::vector<std::u16string> parameters;
    std::vector<std::u16string> locals;
    std::vector<LispValue> body;
  };
  class DepthGuard;
  class BindingScope;
  class Budget;

  using Forms = std::span<const LispValue>;

  LispValue evaluateList(const LispList& form);
  std::optional<LispValue> evaluateSpecialForm(std::u16string_view name, Forms operands);
  LispValue evaluateDefun(Forms operands);
  LispValue evaluateSetq(Forms operands);
  LispValue evaluateBody(Forms forms);
  LispValue callUser(const UserFunction& function, std::vector<LispValue> args);
  static UserFunction parseLambda(const LispValue& parameterList, Forms body);

  SystemVariables systemVariables_;
  std::map<std::u16string, LispValue, std::less<>> variables_;
  std::map<std::u16string, std::shared_ptr<const UserFunction>, std::less<>> functions_;
  std::map<std::u16string, HostCommand, std::less<>> hostCommands_;
  int depth_ = 0;
  bool running_ = false;
  std::size_t steps_ = 0;
  std::size_t stringSpace_ = 0;
};

}  // namespace kvm::sim
