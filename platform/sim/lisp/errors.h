#pragma once

#include <string>
#include <string_view>

namespace kvm::sim {

class LispValue;

// Every failure of the engine reaches the automation caller as error 5 with the engine's
// own message.
[[noreturn]] void throwLispError(std::u16string message);
[[noreturn]] void throwMalformedInput();
[[noreturn]] void throwStackLimit();
[[noreturn]] void throwBadArgument(std::u16string_view predicate, const LispValue& value);
[[noreturn]] void throwTooFewArguments();
[[noreturn]] void throwTooManyArguments();

}  // namespace kvm::sim
