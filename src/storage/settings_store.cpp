#include "storage/settings_store.h"

#include <algorithm>

#include "base/codepage.h"

namespace kvm {

bool SettingsKeyLess::operator()(std::u16string_view a, std::u16string_view b) const {
  const auto upper = [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char16_t x, char16_t y) { return upper(x) < upper(y); });
}

std::u16string registryReadResult(std::u16string_view stored) {
  std::string bytes = toGbk(stored);
  bytes.resize(std::min(bytes.size(), kRegistryReadLimit));
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  return fromGbk(bytes);
}

}  // namespace kvm
