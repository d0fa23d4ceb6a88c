#include "platform/sim/lisp/arithmetic.h"

#include <cstdint>

#include "platform/sim/lisp/builtins.h"
#include "platform/sim/lisp/errors.h"

namespace kvm::sim {

namespace {

enum class Operation : uint8_t { Add, Subtract, Multiply, Divide };

const LispValue& requireNumber(const LispValue& value) {
  if (!value.isNumber()) {
    throwBadArgument(u"numberp", value);
  }
  return value;
}

int32_t wrap(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

LispValue combine(Operation operation, const LispValue& left, const LispValue& right) {
  if (left.isInteger() && right.isInteger()) {
    const int64_t a = left.integerValue();
    const int64_t b = right.integerValue();
    switch (operation) {
      case Operation::Add: return LispValue::integer(wrap(a + b));
      case Operation::Subtract: return LispValue::integer(wrap(a - b));
      case Operation::Multiply: return LispValue::integer(wrap(a * b));
      case Operation::Divide:
        if (b == 0) {
          throwLispError(u"divide by zero");
        }
        return LispValue::integer(wrap(a / b));
    }
  }
  const double a = left.numberValue();
  const double b = right.numberValue();
  switch (operation) {
    case Operation::Add: return LispValue::real(a + b);
    case Operation::Subtract: return LispValue::real(a - b);
    case Operation::Multiply: return LispValue::real(a * b);
    case Operation::Divide:
      if (b == 0) {
        throwLispError(u"divide by zero");
      }
      return LispValue::real(a / b);
  }
  return {};
}

LispValue fold(Operation operation, const std::vector<LispValue>& args) {
  for (const LispValue& arg : args) {
    requireNumber(arg);
  }
  if (args.empty()) {
    return LispValue::integer(0);
  }
  if (args.size() == 1 && operation == Operation::Subtract) {
    return combine(operation, LispValue::integer(0), args.front());
  }
  LispValue result = args.front();
  for (std::size_t i = 1; i < args.size(); ++i) {
    result = combine(operation, result, args[i]);
  }
  return result;
}

// -1, 0, 1; numbers by value, strings by their units.
int compare(const LispValue& a, const LispValue& b) {
  if (a.isString() && b.isString()) {
    const int order = a.stringValue().compare(b.stringValue());
    return (order > 0) - (order < 0);
  }
  const double x = requireNumber(a).numberValue();
  const double y = requireNumber(b).numberValue();
  return (x > y) - (x < y);
}

template <class Holds>
LispValue chain(const std::vector<LispValue>& args, Holds holds) {
  requireArgumentCount(args, 1, args.size());
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (!holds(compare(args[i - 1], args[i]))) {
      return {};
    }
  }
  // A single operand still has to be a number or a string.
  if (args.size() == 1 && !args.front().isString()) {
    requireNumber(args.front());
  }
  return LispValue::t();
}

}  // namespace

LispValue lispAdd(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return fold(Operation::Add, args);
}

LispValue lispSubtract(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return fold(Operation::Subtract, args);
}

LispValue lispMultiply(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return fold(Operation::Multiply, args);
}

LispValue lispDivide(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return fold(Operation::Divide, args);
}

LispValue lispEqual(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return chain(args, [](int order) { return order == 0; });
}

LispValue lispNotEqual(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return chain(args, [](int order) { return order != 0; });
}

LispValue lispLess(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return chain(args, [](int order) { return order < 0; });
}

LispValue lispGreater(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return chain(args, [](int order) { return order > 0; });
}

LispValue lispLessOrEqual(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return chain(args, [](int order) { return order <= 0; });
}

LispValue lispGreaterOrEqual(LispEnvironment& /*environment*/, std::vector<LispValue>& args) {
  return chain(args, [](int order) { return order >= 0; });
}

}  // namespace kvm::sim
