#include "platform/sim/lisp/builtins.h"

#include <array>
#include <cstdio>
#include <limits>
#include <string>

#include "base/text.h"
#include "platform/sim/lisp/arithmetic.h"
#include "platform/sim/lisp/environment.h"
#include "platform/sim/lisp/errors.h"
#include "platform/sim/lisp/printer.h"
#include "platform/sim/lisp/reader.h"

namespace kvm::sim {

namespace {

using Args = std::vector<LispValue>;

const LispValue& requireSymbol(const LispValue& value) {
  if (!value.isSymbol()) {
    throwBadArgument(u"symbolp", value);
  }
  return value;
}

const std::u16string& requireString(const LispValue& value) {
  if (!value.isString()) {
    throwBadArgument(u"stringp", value);
  }
  return value.stringValue();
}

int32_t requireInteger(const LispValue& value) {
  if (!value.isInteger()) {
    throwBadArgument(u"fixnump", value);
  }
  return value.integerValue();
}

// nil or a list; nil for nil.
const LispList* requireList(const LispValue& value) {
  if (value.isNil()) {
    return nullptr;
  }
  if (!value.isList()) {
    throwBadArgument(u"consp", value);
  }
  return &value.listValue();
}

LispValue docSet(LispEnvironment& environment, Args& args) {
  requireArgumentCount(args, 2, 2);
  environment.setVariable(requireSymbol(args[0]).symbolName(), args[1]);
  return args[1];
}

LispValue docRef(LispEnvironment& environment, Args& args) {
  requireArgumentCount(args, 1, 1);
  return environment.variable(requireSymbol(args[0]).symbolName());
}

LispValue getvar(LispEnvironment& environment, Args& args) {
  requireArgumentCount(args, 1, 1);
  return environment.systemVariable(requireString(args[0])).value_or(LispValue());
}

LispValue setvar(LispEnvironment& environment, Args& args) {
  requireArgumentCount(args, 2, 2);
  if (!environment.setSystemVariable(requireString(args[0]), args[1])) {
    throwLispError(u"AutoCAD variable setting rejected: " + printLisp(args[0]) + u" " +
                   printLisp(args[1]));
  }
  return args[1];
}

LispValue strcat(LispEnvironment& environment, Args& args) {
  std::u16string result;
  for (const LispValue& arg : args) {
    const std::u16string& part = requireString(arg);
    if (result.size() + part.size() > kMaxLispStringLength) {
      throwLispError(u"string too long");
    }
    result += part;
  }
  environment.chargeStringSpace(result.size());
  return LispValue::string(std::move(result));
}

LispValue itoa(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 1, 1);
  return LispValue::string(decimal(requireInteger(args[0])));
}

LispValue atoi(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 1, 1);
  const std::u16string& text = requireString(args[0]);
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
    ++i;
  }
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > std::numeric_limits<int32_t>::max()) {
      value = std::numeric_limits<int32_t>::max();  // saturates rather than wrapping
    }
  }
  return LispValue::integer(static_cast<int32_t>(negative ? -value : value));
}

// Decimal units only: the other unit modes format like mode 2 here.
LispValue rtos(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 1, 3);
  if (!args[0].isNumber()) {
    throwBadArgument(u"numberp", args[0]);
  }
  if (args.size() > 1) {
    const int32_t mode = requireInteger(args[1]);
    if (mode < 1 || mode > 5) {
      throwBadArgument(u"rtos mode", args[1]);
    }
  }
  int32_t precision = 4;
  if (args.size() > 2) {
    precision = requireInteger(args[2]);
    if (precision < 0 || precision > 8) {
      throwBadArgument(u"rtos precision", args[2]);
    }
  }
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision, args[0].numberValue());
  return LispValue::string(fromUtf8(buffer));
}

LispValue read(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 0, 1);
  return args.empty() ? LispValue() : readLisp(requireString(args[0]));
}

LispValue eval(LispEnvironment& environment, Args& args) {
  requireArgumentCount(args, 1, 1);
  return environment.evaluate(args[0]);
}

LispValue list(LispEnvironment& /*environment*/, Args& args) {
  return LispValue::list(std::move(args));
}

LispValue car(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 1, 1);
  const LispList* list = requireList(args[0]);
  return list == nullptr ? LispValue() : list->items.front();
}

LispValue cdr(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 1, 1);
  const LispList* list = requireList(args[0]);
  if (list == nullptr) {
    return {};
  }
  return LispValue::list(std::vector<LispValue>(list->items.begin() + 1, list->items.end()),
                         list->tail);
}

LispValue cons(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 2, 2);
  std::vector<LispValue> items{args[0]};
  if (args[1].isList()) {
    const LispList& rest = args[1].listValue();
    items.insert(items.end(), rest.items.begin(), rest.items.end());
    return LispValue::list(std::move(items), rest.tail);
  }
  return LispValue::list(std::move(items), args[1]);
}

LispValue null(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 1, 1);
  return LispValue::boolean(args[0].isNil());
}

// The command line is not simulated: princ only hands its argument back.
LispValue princ(LispEnvironment& /*environment*/, Args& args) {
  requireArgumentCount(args, 0, 2);
  return args.empty() ? LispValue::symbol(u"") : args[0];
}

struct Entry {
  std::u16string_view name;
  LispBuiltin function;
};

constexpr std::array kBuiltins{
    Entry{u"VL-DOC-SET", docSet},
    Entry{u"VL-DOC-REF", docRef},
    Entry{u"GETVAR", getvar},
    Entry{u"SETVAR", setvar},
    Entry{u"STRCAT", strcat},
    Entry{u"ITOA", itoa},
    Entry{u"ATOI", atoi},
    Entry{u"RTOS", rtos},
    Entry{u"READ", read},
    Entry{u"EVAL", eval},
    Entry{u"+", lispAdd},
    Entry{u"-", lispSubtract},
    Entry{u"*", lispMultiply},
    Entry{u"/", lispDivide},
    Entry{u"=", lispEqual},
    Entry{u"/=", lispNotEqual},
    Entry{u"<", lispLess},
    Entry{u">", lispGreater},
    Entry{u"<=", lispLessOrEqual},
    Entry{u">=", lispGreaterOrEqual},
    Entry{u"LIST", list},
    Entry{u"CAR", car},
    Entry{u"CDR", cdr},
    Entry{u"CONS", cons},
    Entry{u"NULL", null},
    Entry{u"NOT", null},
    Entry{u"PRINC", princ},
    Entry{u"PRIN1", princ},
};

}  // namespace

void requireArgumentCount(const std::vector<LispValue>& args, std::size_t minimum,
                          std::size_t maximum) {
  if (args.size() < minimum) {
    throwTooFewArguments();
  }
  if (args.size() > maximum) {
    throwTooManyArguments();
  }
}

LispBuiltin findBuiltin(std::u16string_view upperName) {
  for (const Entry& entry : kBuiltins) {
    if (entry.name == upperName) {
      return entry.function;
    }
  }
  return nullptr;
}

}  // namespace kvm::sim
