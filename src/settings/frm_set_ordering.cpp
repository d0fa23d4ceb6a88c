// The ordering commands of the context menu: move the selected row to the top, up, down or to
// the bottom, or sort the list by name. The library table and the flashings of the selected
// library move with their rows.
#include "base/runtime_error.h"
#include "settings/frm_set.h"
#include "settings/list_order.h"
#include "settings/list_rows.h"
#include "settings/list_tag.h"
#include "settings/settings_state.h"

namespace kvm {

namespace {

constexpr int32_t kRowLabels = 12;

void requireIndex(std::size_t index, std::size_t size) {
  if (index >= size) {
    raise(err::kSubscriptOutOfRange);
  }
}

}  // namespace

void FrmSet::moveCommand(Move move) {
  if (menuSource_ == nullptr) {
    return;
  }
  ListBox& list = *menuSource_;
  try {
    const int32_t selected = list.listIndex();
    const int32_t count = list.listCount();
    const bool belowExists = count != 0 && selected != -1 && selected < count - 1;
    bool allowed = false;
    int32_t target = 0;
    switch (move) {
      case Move::Top:
        allowed = selected > 0 && count != 0;
        target = 0;
        break;
      case Move::Up:
        allowed = count != 1 && selected >= 1;
        target = selected - 1;
        break;
      case Move::Down:
        allowed = belowExists;
        target = selected + 1;
        break;
      case Move::Bottom:
        allowed = belowExists;
        target = count - 1;
        break;
    }
    if (!allowed) {
      return;
    }

    const ListTagGuard guard(list);
    if (count > kRowLabels) {
      relabel(list);
    }
    const bool currentUse = &list == &lstDang;
    if (!currentUse) {
      moveRecords(list, recordIndex(selected), recordIndex(target));
    }
    // Moving a current-use row to the top, up or down leaves the flag as it was.
    if (!currentUse || move == Move::Bottom) {
      state_.modified = true;
    }
    moveRow(list, selected, target);
    list.setListIndex(target);
    if (move == Move::Up && list.topIndex() > target) {
      list.setTopIndex(list.topIndex() - 1);
    }
    // Selecting the target may have scrolled the list: the labels follow it.
    if (count > kRowLabels) {
      relabel(list);
    }
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::moveRecords(ListBox& list, std::size_t from, std::size_t to) {
  if (&list == &lstCangKu) {
    requireIndex(std::max(from, to), state_.libraries.size());
    moveElement(state_.libraries.vector(), from, to);
  } else if (&list == &lstErJi) {
    FlashingLibrary& library = state_.libraries.at(recordIndex(lstCangKu.listIndex()));
    std::vector<Flashing> flashings = library.Flashings.elements();
    requireIndex(std::max(from, to), flashings.size());
    moveElement(flashings, from, to);
    library.Flashings = DynamicArray<Flashing>(std::move(flashings));
  }
}

void FrmSet::sortCommand() {
  if (menuSource_ == nullptr) {
    return;
  }
  ListBox& list = *menuSource_;
  try {
    const std::vector<ListItem> rows = list.items();
    std::vector<std::u16string> texts;
    texts.reserve(rows.size());
    for (const ListItem& row : rows) {
      texts.push_back(row.text);
    }
    const std::vector<std::size_t> order = collatedOrder(texts);
    const std::u16string selectedText = list.text();

    const ListTagGuard guard(list);
    // The records first: should they fail, the list is still as it was.
    if (&list != &lstDang) {
      sortRecords(list, order);
    }
    // Every row keeps its own tick, whatever texts the rows hold; the selection goes by text,
    // to the first row that has it.
    list.setEnabled(false);
    list.clear();
    int32_t newSelection = -1;
    for (std::size_t position = 0; position < order.size(); ++position) {
      list.addItem(rows[order[position]].text);
      if (newSelection < 0 && !selectedText.empty() && rows[order[position]].text == selectedText) {
        newSelection = static_cast<int32_t>(position);
      }
    }
    for (std::size_t position = 0; position < order.size(); ++position) {
      if (rows[order[position]].checked) {
        list.setSelected(static_cast<int32_t>(position), true);
      }
    }
    list.setEnabled(true);
    if (newSelection >= 0) {
      list.setListIndex(newSelection);
    }
    if (list.listCount() > kRowLabels) {
      relabel(list);
    }
    state_.modified = true;
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::sortRecords(ListBox& list, const std::vector<std::size_t>& order) {
  if (order.empty()) {
    return;
  }
  if (&list == &lstCangKu) {
    if (state_.libraries.size() != order.size()) {
      raise(err::kSubscriptOutOfRange);
    }
    std::vector<FlashingLibrary>& libraries = state_.libraries.vector();
    libraries = inOrder(std::move(libraries), order);
  } else if (&list == &lstErJi) {
    FlashingLibrary& library = state_.libraries.at(recordIndex(lstCangKu.listIndex()));
    if (library.Flashings.size() != order.size()) {
      raise(err::kSubscriptOutOfRange);
    }
    library.Flashings = DynamicArray<Flashing>(inOrder(library.Flashings.elements(), order));
  }
}

}  // namespace kvm
