#include "platform/sim/host/member_call.h"

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm::sim {

bool MemberCall::named(std::u16string_view member) {
  if (!equalsIgnoringAsciiCase(name_, member)) {
    return false;
  }
  known_ = true;
  return true;
}

bool MemberCall::get(std::u16string_view member, std::size_t minimum, std::size_t maximum) {
  if (!named(member) || kind_ == InvokeKind::PropertyPut) {
    return false;
  }
  if (args_.size() < minimum || args_.size() > maximum) {
    raise(err::kWrongArgumentCount);
  }
  return true;
}

bool MemberCall::put(std::u16string_view member) {
  if (!named(member) || kind_ != InvokeKind::PropertyPut) {
    return false;
  }
  if (args_.size() != 1) {
    raise(err::kWrongArgumentCount);
  }
  return true;
}

void MemberCall::fail() const {
  if (known_) {
    raise(err::kWrongArgumentCount);
  }
  raise(err::kMemberNotFound);
}

}  // namespace kvm::sim
