#include "base/runtime_error.h"

#include "base/text.h"

namespace kvm {

std::u16string standardDescription(int32_t number) {
  switch (number) {
    case err::kInvalidCall: return u"Invalid procedure call or argument";
    case err::kOverflow: return u"Overflow";
    case err::kOutOfMemory: return u"Out of memory";
    case err::kSubscriptOutOfRange: return u"Subscript out of range";
    case err::kDivisionByZero: return u"Division by zero";
    case err::kTypeMismatch: return u"Type mismatch";
    case err::kFileNotFound: return u"File not found";
    case err::kInputPastEnd: return u"Input past end of file";
    case err::kPermissionDenied: return u"Permission denied";
    case err::kPathFileAccess: return u"Path/File access error";
    case err::kInvalidUseOfNull: return u"Invalid use of Null";
    case err::kMemberNotFound: return u"Object doesn't support this property or method";
    case err::kArgumentNotOptional: return u"Argument not optional";
    case err::kWrongArgumentCount:
      return u"Wrong number of arguments or invalid property assignment";
    default: return u"Application-defined or object-defined error";
  }
}

RuntimeError::RuntimeError(int32_t number) : RuntimeError(number, standardDescription(number)) {}

RuntimeError::RuntimeError(int32_t number, std::u16string description)
    : number_(number), description_(std::move(description)), utf8_(toUtf8(description_)) {}

void raise(int32_t number) {
  throw RuntimeError(number);
}
void raise(int32_t number, std::u16string description) {
  throw RuntimeError(number, std::move(description));
}

}  // namespace kvm
