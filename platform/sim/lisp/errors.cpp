#include "platform/sim/lisp/errors.h"

#include "base/runtime_error.h"
#include "platform/sim/lisp/printer.h"

namespace kvm::sim {

void throwLispError(std::u16string message) {
  raise(err::kInvalidCall, std::move(message));
}

void throwMalformedInput() {
  throwLispError(u"malformed list on input");
}

void throwStackLimit() {
  throwLispError(u"internal stack limit reached");
}

void throwBadArgument(std::u16string_view predicate, const LispValue& value) {
  std::u16string message = u"bad argument type: ";
  message += predicate;
  message += u": ";
  message += printLisp(value);
  throwLispError(std::move(message));
}

void throwTooFewArguments() {
  throwLispError(u"too few arguments");
}

void throwTooManyArguments() {
  throwLispError(u"too many arguments");
}

}  // namespace kvm::sim
