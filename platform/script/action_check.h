#pragma once

#include <cstdint>
#include <string>

namespace kvm {
class Control;
}  // namespace kvm

namespace kvm::script {

// What both desktops check of a `ui` action on a control before they act, so that a script
// stops with the same words in-process and on real windows.

// The kind of a control as actions and the player's dumps name it: "button", "check",
// "option", "options", "list", "grid", "text", "combo", "label", "frame", "menu", "timer",
// "picture" or "other".
const char* controlKind(const Control& control);

// That `verb` is an action on a control; ScriptStop for an unknown action.
void checkControlVerb(const std::string& verb);

// That the action can act on control `name` of dialog `form` of the given kind.
void checkControlKind(const std::string& verb, const std::string& kind, const std::string& name,
                      const std::string& form);

// A list as the user sees it: its rows, the first shown, how many are shown, check boxes.
struct ListView {
  int32_t rows = 0;
  int32_t top = 0;
  int32_t visibleRows = 0;
  bool checkBoxes = false;
};

// That a `select` or `check` action can click row `row` of list `name`: a row of the list in
// view, and for `check` a check box.
void checkListRow(const std::string& verb, const std::string& name, int32_t row,
                  const ListView& list);

// That a `grid` action names one of the grid's rows (the header row counts).
void checkGridRow(const std::string& name, int32_t row, int32_t rows);

// The key a `key` action names, as its virtual-key code (the codes Windows uses).
int32_t keyCode(const std::string& name);

}  // namespace kvm::script
