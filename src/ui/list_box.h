#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// Virtual-key codes of the keys a list understands.
namespace vk {
inline constexpr int32_t kEnter = 13;
inline constexpr int32_t kEscape = 27;
inline constexpr int32_t kPageUp = 33;
inline constexpr int32_t kPageDown = 34;
inline constexpr int32_t kEnd = 35;
inline constexpr int32_t kHome = 36;
inline constexpr int32_t kLeft = 37;
inline constexpr int32_t kUp = 38;
inline constexpr int32_t kRight = 39;
inline constexpr int32_t kDown = 40;
}  // namespace vk

// The window messages a list's procedure sees before the list acts on them.
enum class ListMessageKind : uint8_t { KeyDown, MouseWheel, LeftButtonDown, LeftButtonUp };

struct ListMessage {
  ListMessageKind kind = ListMessageKind::KeyDown;
  int32_t key = 0;           // KeyDown: virtual-key code
  int32_t wheelNotches = 0;  // MouseWheel: positive turns away from the user (up)
  int32_t y = 0;             // buttons: pixel row inside the list
};

struct ListItem {
  std::u16string text;
  bool checked = false;
};

// A list box, with or without check boxes.
//
// As on the platform, the program's own changes raise the same events as the user's: setting
// the selection runs Click, ticking a box runs ItemCheck. Handlers that must ignore the
// program's changes look at the list's Tag.
//
// Every message from the user first goes to the window procedure installed in windowProc (if
// any), which decides whether the list's own procedure sees it.
class ListBox final : public Control {
 public:
  static constexpr int32_t kWheelRows = 3;

  ListBox(Form& form, std::u16string name, bool checkBoxes);

  [[nodiscard]] bool hasCheckBoxes() const noexcept { return checkBoxes_; }
  [[nodiscard]] const std::vector<ListItem>& items() const noexcept { return state_.items; }
  [[nodiscard]] int32_t listCount() const noexcept;
  // The text of a row; empty outside the rows.
  [[nodiscard]] std::u16string list(int32_t row) const;
  // The text of the selected row; empty when none is selected.
  [[nodiscard]] std::u16string text() const { return list(state_.listIndex); }

  [[nodiscard]] int32_t listIndex() const noexcept { return state_.listIndex; }
  // Selects a row (-1: none), scrolls it into view and, when the selection changed, runs
  // Click. A row outside -1 .. count - 1 is error 380.
  void setListIndex(int32_t row);

  [[nodiscard]] int32_t topIndex() const noexcept { return state_.topIndex; }
  // Kept between 0 and count - visible rows.
  void setTopIndex(int32_t top);

  // The check box of a row; changing it runs ItemCheck. A row outside is error 381.
  [[nodiscard]] bool selected(int32_t row) const;
  void setSelected(int32_t row, bool checked);

  // Appends, or inserts before `row`; the selection stays on its item.
  void addItem(std::u16string text, int32_t row = -1);
  // Removing the selected row leaves no row selected.
  void removeItem(int32_t row);
  void clear();

  [[nodiscard]] int32_t rowHeight() const noexcept { return state_.rowHeight; }
  void setRowHeight(int32_t pixels);
  [[nodiscard]] int32_t visibleRows() const noexcept;

  // Events.
  std::function<void()> onClick;
  std::function<void(int32_t row)> onItemCheck;
  std::function<void()> onScroll;  // the user moved the scroll bar
  std::function<void()> onDblClick;
  std::function<void()> onRightButtonUp;

  // A window procedure installed in place of the list's own; it calls ownProcedure to pass
  // the message on, or returns without calling it to discard the message.
  using OwnProcedure = std::function<void()>;
  std::function<void(const ListMessage&, const OwnProcedure&)> windowProc;

  // What the user does.
  void userKey(int32_t key);
  void userWheel(int32_t notches);
  void userScroll(int32_t top);
  // Presses and releases the left button at a pixel row of the list.
  void userMouseDown(int32_t y);
  // Clicks the text of a row (which must be visible).
  void userSelect(int32_t row);
  // Clicks the check box of a row: the click path of userSelect, then the box toggles (unless
  // the click was discarded).
  void userCheck(int32_t row);
  void userRightButtonUp();
  void userDblClick();

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 protected:
  void saveOwnDesign() override { design_ = state_; }
  void restoreOwnDesign() override { state_ = design_; }

 private:
  void deliver(const ListMessage& message);
  void ownProcedure(const ListMessage& message);
  void navigate(int32_t key);
  void scrollIntoView(int32_t row);
  void clampTop();
  [[nodiscard]] int32_t rowAt(int32_t y) const noexcept;
  void checkRow(int32_t row, int32_t number) const;

  struct State {
    std::vector<ListItem> items;
    int32_t listIndex = -1;
    int32_t topIndex = 0;
    int32_t rowHeight = 15;
  };
  bool checkBoxes_;
  bool captured_ = false;  // the left button went down on the list and was passed on
  State state_;
  State design_;
};

}  // namespace kvm
