#include "platform/sim/lisp/environment.h"

#include "base/text.h"
#include "platform/sim/lisp/builtins.h"
#include "platform/sim/lisp/errors.h"
#include "platform/sim/lisp/printer.h"
#include "platform/sim/lisp/reader.h"

namespace kvm::sim {

class LispEnvironment::DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) {
    if (depth_ >= kMaxEvaluationDepth) {
      throwStackLimit();
    }
    ++depth_;
  }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
  ~DepthGuard() { --depth_; }

 private:
  int& depth_;
};

// The limits of one evaluation from the outside (a call through the host's interface); the
// evaluations it makes itself share them.
class LispEnvironment::Budget {
 public:
  explicit Budget(LispEnvironment& environment)
      : environment_(environment), outermost_(!environment.running_) {
    if (outermost_) {
      environment_.running_ = true;
      environment_.steps_ = 0;
      environment_.stringSpace_ = 0;
    }
  }
  Budget(const Budget&) = delete;
  Budget& operator=(const Budget&) = delete;
  ~Budget() {
    if (outermost_) {
      environment_.running_ = false;
    }
  }

 private:
  LispEnvironment& environment_;
  bool outermost_;
};

// Binds parameters and locals for one call and puts the outer values back afterwards.
class LispEnvironment::BindingScope {
 public:
  explicit BindingScope(LispEnvironment& environment) : environment_(environment) {}
  BindingScope(const BindingScope&) = delete;
  BindingScope& operator=(const BindingScope&) = delete;
  ~BindingScope() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      environment_.setVariable(it->first, std::move(it->second));
    }
  }

  void bind(const std::u16string& name, LispValue value) {
    saved_.emplace_back(name, environment_.variable(name));
    environment_.setVariable(name, std::move(value));
  }

 private:
  LispEnvironment& environment_;
  std::vector<std::pair<std::u16string, LispValue>> saved_;
};

LispEnvironment::LispEnvironment(SystemVariables systemVariables)
    : systemVariables_(std::move(systemVariables)) {}

LispValue LispEnvironment::evaluateText(std::u16string_view text) {
  return evaluate(readLisp(text));
}

LispValue LispEnvironment::evaluate(const LispValue& form) {
  const Budget budget(*this);
  const DepthGuard guard(depth_);
  if (++steps_ > kMaxEvaluationSteps) {
    throwLispError(u"evaluation limit reached");
  }
  if (form.isSymbol()) {
    return form.isT() ? form : variable(form.symbolName());
  }
  if (form.isList()) {
    return evaluateList(form.listValue());
  }
  return form;
}

LispValue LispEnvironment::evaluateList(const LispList& form) {
  if (!form.tail.isNil()) {
    throwBadArgument(u"listp", form.tail);
  }
  const LispValue& head = form.items.front();
  const Forms operands = Forms(form.items).subspan(1);
  if (head.isSymbol()) {
    if (std::optional<LispValue> result = evaluateSpecialForm(head.symbolName(), operands)) {
      return *std::move(result);
    }
  }
  std::vector<LispValue> args;
  args.reserve(operands.size());
  for (const LispValue& operand : operands) {
    args.push_back(evaluate(operand));
  }
  if (head.isSymbol()) {
    return apply(head.symbolName(), std::move(args));
  }
  // ((lambda (x) ...) arg ...)
  if (head.isList() && head.listValue().items.front() == LispValue::symbol(u"LAMBDA")) {
    const LispList& lambda = head.listValue();
    if (lambda.items.size() < 2) {
      throwTooFewArguments();
    }
    return callUser(parseLambda(lambda.items[1], Forms(lambda.items).subspan(2)), std::move(args));
  }
  throwLispError(u"bad function: " + printLisp(head));
}

std::optional<LispValue> LispEnvironment::evaluateSpecialForm(std::u16string_view name,
                                                              Forms operands) {
  if (name == u"QUOTE") {
    if (operands.empty()) {
      throwTooFewArguments();
    }
    if (operands.size() > 1) {
      throwTooManyArguments();
    }
    return operands.front();
  }
  if (name == u"PROGN") {
    return evaluateBody(operands);
  }
  if (name == u"SETQ") {
    return evaluateSetq(operands);
  }
  if (name == u"DEFUN") {
    return evaluateDefun(operands);
  }
  if (name == u"LAMBDA") {
    // Unapplied, a lambda expression stands for itself.
    std::vector<LispValue> items{LispValue::symbol(u"LAMBDA")};
    items.insert(items.end(), operands.begin(), operands.end());
    return LispValue::list(std::move(items));
  }
  if (name == u"IF") {
    if (operands.size() < 2) {
      throwTooFewArguments();
    }
    if (operands.size() > 3) {
      throwTooManyArguments();
    }
    if (!evaluate(operands[0]).isNil()) {
      return evaluate(operands[1]);
    }
    return operands.size() == 3 ? evaluate(operands[2]) : LispValue();
  }
  if (name == u"AND" || name == u"OR") {
    const bool isAnd = name == u"AND";
    for (const LispValue& operand : operands) {
      if (evaluate(operand).isNil() == isAnd) {
        return LispValue::boolean(!isAnd);
      }
    }
    return LispValue::boolean(isAnd);
  }
  return std::nullopt;
}

LispValue LispEnvironment::evaluateBody(Forms forms) {
  LispValue result;
  for (const LispValue& form : forms) {
    result = evaluate(form);
  }
  return result;
}

LispValue LispEnvironment::evaluateSetq(Forms operands) {
  if (operands.empty() || operands.size() % 2 != 0) {
    throwTooFewArguments();
  }
  LispValue result;
  for (std::size_t i = 0; i < operands.size(); i += 2) {
    const LispValue& target = operands[i];
    if (!target.isSymbol() || target.isT()) {
      throwBadArgument(u"symbolp", target);
    }
    result = evaluate(operands[i + 1]);
    setVariable(target.symbolName(), result);
  }
  return result;
}

LispEnvironment::UserFunction LispEnvironment::parseLambda(const LispValue& parameterList,
                                                           Forms body) {
  UserFunction function;
  if (!parameterList.isNil()) {
    if (!parameterList.isList() || !parameterList.listValue().tail.isNil()) {
      throwBadArgument(u"listp", parameterList);
    }
    bool inLocals = false;
    for (const LispValue& item : parameterList.listValue().items) {
      if (!item.isSymbol() || item.isT()) {
        throwBadArgument(u"symbolp", item);
      }
      if (item.symbolName() == u"/" && !inLocals) {
        inLocals = true;
        continue;
      }
      (inLocals ? function.locals : function.parameters).push_back(item.symbolName());
    }
  }
  function.body.assign(body.begin(), body.end());
  return function;
}

LispValue LispEnvironment::evaluateDefun(Forms operands) {
  if (operands.size() < 2) {
    throwTooFewArguments();
  }
  const LispValue& name = operands[0];
  if (!name.isSymbol() || name.isT()) {
    throwBadArgument(u"symbolp", name);
  }
  functions_[name.symbolName()] =
      std::make_shared<const UserFunction>(parseLambda(operands[1], operands.subspan(2)));
  return name;
}

LispValue LispEnvironment::callUser(const UserFunction& function, std::vector<LispValue> args) {
  if (args.size() < function.parameters.size()) {
    throwTooFewArguments();
  }
  if (args.size() > function.parameters.size()) {
    throwTooManyArguments();
  }
  BindingScope scope(*this);
  for (std::size_t i = 0; i < args.size(); ++i) {
    scope.bind(function.parameters[i], std::move(args[i]));
  }
  for (const std::u16string& local : function.locals) {
    scope.bind(local, LispValue());
  }
  return evaluateBody(function.body);
}

LispValue LispEnvironment::apply(std::u16string_view name, std::vector<LispValue> args) {
  const Budget budget(*this);
  const std::u16string upper = asciiUpper(name);
  if (const auto user = functions_.find(upper); user != functions_.end()) {
    // Held for the call, so that a function that redefines itself while it runs stays intact.
    const std::shared_ptr<const UserFunction> function = user->second;
    return callUser(*function, std::move(args));
  }
  if (const auto command = hostCommands_.find(upper); command != hostCommands_.end()) {
    return command->second(args);
  }
  if (const LispBuiltin builtin = findBuiltin(upper)) {
    return builtin(*this, args);
  }
  throwLispError(u"no function definition: " + upper);
}

void LispEnvironment::chargeStringSpace(std::size_t units) {
  const Budget budget(*this);
  stringSpace_ += units;
  if (stringSpace_ > kMaxStringSpace) {
    throwLispError(u"insufficient string space");
  }
}

void LispEnvironment::defineHostCommand(std::u16string_view name, HostCommand command) {
  hostCommands_[asciiUpper(name)] = std::move(command);
}

LispValue LispEnvironment::variable(std::u16string_view name) const {
  const auto it = variables_.find(asciiUpper(name));
  return it == variables_.end() ? LispValue() : it->second;
}

void LispEnvironment::setVariable(std::u16string_view name, LispValue value) {
  std::u16string upper = asciiUpper(name);
  if (value.isNil()) {
    variables_.erase(upper);
  } else {
    variables_[std::move(upper)] = std::move(value);
  }
}

std::vector<std::u16string> LispEnvironment::functionNames() const {
  std::vector<std::u16string> names;
  names.reserve(functions_.size());
  for (const auto& entry : functions_) {
    names.push_back(entry.first);
  }
  return names;
}

std::optional<LispValue> LispEnvironment::systemVariable(std::u16string_view name) const {
  if (!systemVariables_.get) {
    return std::nullopt;
  }
  return systemVariables_.get(asciiUpper(name));
}

bool LispEnvironment::setSystemVariable(std::u16string_view name, const LispValue& value) {
  return systemVariables_.set && systemVariables_.set(asciiUpper(name), value);
}

}  // namespace kvm::sim
