// The `ui` actions of a host script: each acts on the dialog shown on top, through the same
// paths as the user's mouse and keys.
#include <map>
#include <string>

#include "base/text.h"
#include "platform/script/action_args.h"
#include "platform/script/form_dump.h"
#include "platform/script/script_stop.h"
#include "platform/sim/ui/scripted_ui.h"
#include "ui/check_box.h"
#include "ui/control.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/menu_item.h"
#include "ui/option_group.h"
#include "ui/text_box.h"
#include "ui/timer.h"

namespace kvm::sim {

namespace {

using nlohmann::json;

int32_t keyCode(const std::string& name) {
  static const std::map<std::string, int32_t> kKeys{
      {"Up", vk::kUp},         {"Down", vk::kDown},         {"Left", vk::kLeft},
      {"Right", vk::kRight},   {"Home", vk::kHome},         {"End", vk::kEnd},
      {"PageUp", vk::kPageUp}, {"PageDown", vk::kPageDown}, {"Enter", vk::kEnter},
      {"Escape", vk::kEscape}};
  const auto found = kKeys.find(name);
  if (found == kKeys.end()) {
    throw script::ScriptStop("unknown key " + name);
  }
  return found->second;
}

Control& controlOf(const Form& form, const std::string& name) {
  Control* control = form.findControl(fromUtf8(name));
  if (control == nullptr) {
    throw script::ScriptStop(toUtf8(form.name()) + " has no control " + name);
  }
  return *control;
}

template <class T>
T& controlAs(const Form& form, const std::string& name, const char* kind) {
  auto* control = dynamic_cast<T*>(&controlOf(form, name));
  if (control == nullptr) {
    throw script::ScriptStop(name + " of " + toUtf8(form.name()) + " is not " + kind);
  }
  return *control;
}

ListBox& visibleRowOf(const Form& form, const std::string& name, int32_t row) {
  auto& list = controlAs<ListBox>(form, name, "a list");
  if (row < 0 || row >= list.listCount()) {
    throw script::ScriptStop(name + " has no row " + std::to_string(row));
  }
  if (row < list.topIndex() || row >= list.topIndex() + list.visibleRows()) {
    throw script::ScriptStop("row " + std::to_string(row) + " of " + name +
                             " is not visible; scroll the list first");
  }
  return list;
}

void click(Control& control) {
  if (!control.usable()) {
    return;
  }
  if (auto* button = dynamic_cast<Button*>(&control)) {
    button->userClick();
  } else if (auto* check = dynamic_cast<CheckBox*>(&control)) {
    check->userClick();
  } else if (auto* option = dynamic_cast<OptionButton*>(&control)) {
    option->userClick();
  } else if (auto* item = dynamic_cast<MenuItem*>(&control)) {
    item->userPick();
  } else {
    throw script::ScriptStop(toUtf8(control.name()) + " cannot be clicked");
  }
}

void pressKey(Form& form, Control& control, int32_t key) {
  if (!control.usable()) {
    return;
  }
  if (auto* list = dynamic_cast<ListBox*>(&control)) {
    list->userKey(key);
    return;
  }
  control.setFocus();
  Button* button = key == vk::kEnter    ? form.defaultButton()
                   : key == vk::kEscape ? form.cancelButton()
                                        : nullptr;
  if (button != nullptr && button->usable()) {
    button->userClick();
  }
}

void tick(const Form& form) {
  for (Control* control : form.controls()) {
    if (auto* timer = dynamic_cast<Timer*>(control)) {
      timer->fire();
    }
  }
}

}  // namespace

void ScriptedUi::playAction(const json& action) {
  const script::ActionArgs args(action);
  const std::string verb = args.verb();
  if (verb == "answer") {
    answers_.push(args.text(1));
    return;
  }
  Form& form = topForm();
  if (verb == "dump") {
    if (args.at(1).is_null()) {
      emitDump("form:" + toUtf8(form.name()), dumpForm(form.name()));
    } else {
      const auto name = args.text(1);
      emitDump(name, script::dumpControl(controlOf(form, name)));
    }
    return;
  }
  // Anything the user does other than picking from it closes an open context menu.
  Form* menuForm = menuForm_;
  MenuItem* menu = menu_;
  menuForm_ = nullptr;
  menu_ = nullptr;

  if (verb == "menu") {
    if (menu == nullptr || menuForm != &form) {
      throw script::ScriptStop("no context menu is open for " + action.dump());
    }
    for (MenuItem* item : menu->items()) {
      if (toUtf8(item->name()) == args.text(1)) {
        item->userPick();
        return;
      }
    }
    throw script::ScriptStop("the open menu has no item " + args.text(1));
  }
  if (verb == "click") {
    click(controlOf(form, args.text(1)));
  } else if (verb == "select" || verb == "check") {
    auto& list = visibleRowOf(form, args.text(1), args.number(2));
    if (verb == "check" && !list.hasCheckBoxes()) {
      throw script::ScriptStop(args.text(1) + " has no check boxes");
    }
    if (list.usable()) {
      verb == "check" ? list.userCheck(args.number(2)) : list.userSelect(args.number(2));
    }
  } else if (verb == "text") {
    auto& box = controlAs<TextBox>(form, args.text(1), "a text box");
    if (box.usable()) {
      box.userType(fromUtf8(args.text(2)));
    }
  } else if (verb == "key") {
    pressKey(form, controlOf(form, args.text(1)), keyCode(args.text(2)));
  } else if (verb == "wheel") {
    auto& list = controlAs<ListBox>(form, args.text(1), "a list");
    if (list.usable()) {
      list.userWheel(args.number(2));
    }
  } else if (verb == "scroll") {
    auto& list = controlAs<ListBox>(form, args.text(1), "a list");
    if (list.usable()) {
      list.userScroll(args.number(2));
    }
  } else if (verb == "mousedown") {
    auto& list = controlAs<ListBox>(form, args.text(1), "a list");
    if (list.usable()) {
      list.userMouseDown(args.number(2));
    }
  } else if (verb == "rclick") {
    auto& list = controlAs<ListBox>(form, args.text(1), "a list");
    if (list.usable()) {
      list.userRightButtonUp();
    }
  } else if (verb == "dblclick") {
    Control& control = controlOf(form, args.text(1));
    if (!control.usable()) {
      return;
    }
    if (auto* list = dynamic_cast<ListBox*>(&control)) {
      list->userDblClick();
    } else if (auto* grid = dynamic_cast<Grid*>(&control)) {
      grid->userDblClick();
    } else {
      throw script::ScriptStop(args.text(1) + " cannot be double-clicked");
    }
  } else if (verb == "grid") {
    auto& grid = controlAs<Grid>(form, args.text(1), "a grid");
    const int32_t row = args.number(2);
    if (row < 0 || row >= grid.rows()) {
      throw script::ScriptStop(args.text(1) + " has no row " + std::to_string(row));
    }
    if (grid.usable()) {
      grid.userSelectRow(row);
    }
  } else if (verb == "close") {
    form.userClose();
  } else if (verb == "tick") {
    tick(form);
  } else {
    throw script::ScriptStop("unknown action " + verb);
  }
}

}  // namespace kvm::sim
