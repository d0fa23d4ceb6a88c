#include "settings/name_rules.h"

#include <algorithm>

#include "base/codepage.h"

namespace kvm {

namespace {

bool isControl(char16_t c) {
  return c < u' ';
}

bool refusedInName(char16_t c) {
  return c == u' ' || c == u':' || c == u'|' || isControl(c);
}

}  // namespace

bool hasControlCharacter(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), isControl);
}

NameFault checkNewName(std::u16string_view name, std::size_t maxBytes) {
  if (name.empty()) {
    return NameFault::Empty;
  }
  if (std::any_of(name.begin(), name.end(), refusedInName)) {
    return NameFault::Blank;
  }
  if (gbkByteLength(name) > maxBytes) {
    return NameFault::TooLong;
  }
  return NameFault::None;
}

}  // namespace kvm
