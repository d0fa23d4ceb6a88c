#include "settings/list_rows.h"

#include <algorithm>

namespace kvm {

int32_t findRow(const ListBox& list, std::u16string_view text, int32_t except) {
  const auto& items = list.items();
  for (std::size_t row = 0; row < items.size(); ++row) {
    if (static_cast<int32_t>(row) != except && items[row].text == text) {
      return static_cast<int32_t>(row);
    }
  }
  return -1;
}

bool anyTicked(const ListBox& list) {
  const auto& items = list.items();
  return std::any_of(items.begin(), items.end(), [](const ListItem& item) { return item.checked; });
}

namespace {

void reinsert(ListBox& list, int32_t from, int32_t to, std::u16string text) {
  const int32_t top = list.topIndex();
  const bool ticked = list.hasCheckBoxes() && list.selected(from);
  list.removeItem(from);
  list.addItem(std::move(text), to);
  list.setTopIndex(top);
  if (ticked) {
    list.setSelected(to, true);
  }
}

}  // namespace

void moveRow(ListBox& list, int32_t from, int32_t to) {
  reinsert(list, from, to, list.list(from));
}

void replaceRow(ListBox& list, int32_t row, std::u16string text) {
  reinsert(list, row, row, std::move(text));
}

}  // namespace kvm
