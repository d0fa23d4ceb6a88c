#include <algorithm>
#include <string>

#include "base/codepage.h"

namespace kvm {

namespace {

// GBK bytes with single-byte ASCII letters folded to lower case; trail bytes of double-byte
// characters can look like letters and are left alone.
std::string collationKey(std::u16string_view text) {
  std::string bytes = toGbk(text);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte >= 0x81 && byte <= 0xFE) {
      ++i;
    } else if (byte >= 'A' && byte <= 'Z') {
      bytes[i] = static_cast<char>(byte + ('a' - 'A'));
    }
  }
  return bytes;
}

}  // namespace

int collateCompare(std::u16string_view a, std::u16string_view b) {
  const std::string left = collationKey(a);
  const std::string right = collationKey(b);
  const size_t common = std::min(left.size(), right.size());
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(left[i]);
    const auto y = static_cast<unsigned char>(right[i]);
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  if (left.size() == right.size()) {
    return 0;
  }
  return left.size() < right.size() ? -1 : 1;
}

}  // namespace kvm
