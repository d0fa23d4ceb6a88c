#include "settings/row_labels.h"

#include "base/text.h"

namespace kvm {

std::u16string libraryRowLabel(int32_t row) {
  return std::u16string(1, static_cast<char16_t>(u'A' + row));
}

std::u16string numberRowLabel(int32_t row) {
  std::u16string text = decimal(row + 1);
  if (text.size() < 2) {
    text.insert(0, 2 - text.size(), u'0');
  }
  return text;
}

}  // namespace kvm
