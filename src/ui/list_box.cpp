#include "ui/list_box.h"

#include <algorithm>

#include "base/runtime_error.h"

namespace kvm {

namespace {

constexpr int32_t kInvalidPropertyValue = 380;
constexpr int32_t kInvalidPropertyArrayIndex = 381;

}  // namespace

ListBox::ListBox(Form& form, std::u16string name, bool checkBoxes)
    : Control(form, std::move(name)), checkBoxes_(checkBoxes) {}

int32_t ListBox::listCount() const noexcept {
  return static_cast<int32_t>(state_.items.size());
}

std::u16string ListBox::list(int32_t row) const {
  if (row < 0 || row >= listCount()) {
    return {};
  }
  return state_.items[static_cast<std::size_t>(row)].text;
}

void ListBox::checkRow(int32_t row, int32_t number) const {
  if (row < 0 || row >= listCount()) {
    raise(number, number == kInvalidPropertyValue ? u"Invalid property value"
                                                  : u"Invalid property array index");
  }
}

void ListBox::setListIndex(int32_t row) {
  if (row != -1) {
    checkRow(row, kInvalidPropertyValue);
  }
  const bool changed = row != state_.listIndex;
  state_.listIndex = row;
  scrollIntoView(row);
  if (changed && onClick) {
    onClick();
  }
}

int32_t ListBox::visibleRows() const noexcept {
  return state_.rowHeight > 0 ? std::max(1, height() / state_.rowHeight) : 1;
}

void ListBox::setRowHeight(int32_t pixels) {
  state_.rowHeight = std::max(1, pixels);
}

void ListBox::clampTop() {
  const int32_t highest = std::max(0, listCount() - visibleRows());
  state_.topIndex = std::clamp(state_.topIndex, 0, highest);
}

void ListBox::setTopIndex(int32_t top) {
  state_.topIndex = top;
  clampTop();
}

void ListBox::scrollIntoView(int32_t row) {
  if (row < 0) {
    return;
  }
  if (row < state_.topIndex) {
    state_.topIndex = row;
  } else if (row >= state_.topIndex + visibleRows()) {
    state_.topIndex = row - visibleRows() + 1;
  }
  clampTop();
}

bool ListBox::selected(int32_t row) const {
  checkRow(row, kInvalidPropertyArrayIndex);
  return state_.items[static_cast<std::size_t>(row)].checked;
}

void ListBox::setSelected(int32_t row, bool checked) {
  checkRow(row, kInvalidPropertyArrayIndex);
  auto& item = state_.items[static_cast<std::size_t>(row)];
  if (item.checked == checked) {
    return;
  }
  item.checked = checked;
  if (onItemCheck) {
    onItemCheck(row);
  }
}

void ListBox::addItem(std::u16string text, int32_t row) {
  if (row < 0 || row > listCount()) {
    row = listCount();
  }
  state_.items.insert(state_.items.begin() + row, ListItem{std::move(text), false});
  if (state_.listIndex >= row) {
    ++state_.listIndex;
  }
}

void ListBox::removeItem(int32_t row) {
  checkRow(row, kInvalidPropertyValue);
  state_.items.erase(state_.items.begin() + row);
  if (state_.listIndex == row) {
    state_.listIndex = -1;
  } else if (state_.listIndex > row) {
    --state_.listIndex;
  }
  clampTop();
}

void ListBox::clear() {
  state_.items.clear();
  state_.listIndex = -1;
  state_.topIndex = 0;
}

int32_t ListBox::rowAt(int32_t y) const noexcept {
  return state_.topIndex + y / state_.rowHeight;
}

void ListBox::deliver(const ListMessage& message) {
  if (windowProc) {
    windowProc(message, [this, message] { ownProcedure(message); });
  } else {
    ownProcedure(message);
  }
}

void ListBox::ownProcedure(const ListMessage& message) {
  switch (message.kind) {
    case ListMessageKind::KeyDown: navigate(message.key); break;
    case ListMessageKind::MouseWheel:
      setTopIndex(state_.topIndex - message.wheelNotches * kWheelRows);
      break;
    case ListMessageKind::LeftButtonDown: {
      setFocus();
      if (listCount() == 0 || message.y < 0) {
        return;
      }
      // Below the last row the platform's list takes the last row.
      state_.listIndex = std::min(rowAt(message.y), listCount() - 1);
      scrollIntoView(state_.listIndex);
      captured_ = true;
      break;
    }
    case ListMessageKind::LeftButtonUp:
      if (captured_) {
        captured_ = false;
        if (onClick) {
          onClick();
        }
      }
      break;
  }
}

void ListBox::navigate(int32_t key) {
  const int32_t count = listCount();
  if (count == 0) {
    return;
  }
  const int32_t current = state_.listIndex;
  const int32_t page = visibleRows() - 1;
  int32_t target = current;
  switch (key) {
    case vk::kUp:
    case vk::kLeft: target = current - 1; break;
    case vk::kDown:
    case vk::kRight: target = current + 1; break;
    case vk::kHome: target = 0; break;
    case vk::kEnd: target = count - 1; break;
    case vk::kPageUp: target = current - page; break;
    case vk::kPageDown: target = std::max(current, 0) + page; break;
    default: return;
  }
  target = std::clamp(target, 0, count - 1);
  if (target != current) {
    setListIndex(target);
  }
}

void ListBox::userKey(int32_t key) {
  setFocus();
  deliver({ListMessageKind::KeyDown, key, 0, 0});
}

void ListBox::userWheel(int32_t notches) {
  deliver({ListMessageKind::MouseWheel, 0, notches, 0});
}

void ListBox::userScroll(int32_t top) {
  setTopIndex(top);
  if (onScroll) {
    onScroll();
  }
}

void ListBox::userMouseDown(int32_t y) {
  captured_ = false;
  deliver({ListMessageKind::LeftButtonDown, 0, 0, y});
  deliver({ListMessageKind::LeftButtonUp, 0, 0, y});
}

void ListBox::userSelect(int32_t row) {
  userMouseDown((row - state_.topIndex) * state_.rowHeight + state_.rowHeight / 2);
}

void ListBox::userCheck(int32_t row) {
  captured_ = false;
  const int32_t y = (row - state_.topIndex) * state_.rowHeight + state_.rowHeight / 2;
  deliver({ListMessageKind::LeftButtonDown, 0, 0, y});
  const bool passed = captured_;
  deliver({ListMessageKind::LeftButtonUp, 0, 0, y});
  if (passed && row >= 0 && row < listCount()) {
    setSelected(row, !state_.items[static_cast<std::size_t>(row)].checked);
  }
}

void ListBox::userRightButtonUp() {
  if (onRightButtonUp) {
    onRightButtonUp();
  }
}

void ListBox::userDblClick() {
  if (onDblClick) {
    onDblClick();
  }
}

}  // namespace kvm
