// The `ui` actions of a host script: each acts on the dialog shown on top, through the same
// paths as the user's mouse and keys.
#include <string>

#include "base/text.h"
#include "platform/script/action_args.h"
#include "platform/script/action_check.h"
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

Control& controlOf(const Form& form, const std::string& name) {
  Control* control = form.findControl(fromUtf8(name));
  if (control == nullptr) {
    throw script::ScriptStop(toUtf8(form.name()) + " has no control " + name);
  }
  return *control;
}

void click(Control& control) {
  if (auto* button = dynamic_cast<Button*>(&control)) {
    button->userClick();
  } else if (auto* check = dynamic_cast<CheckBox*>(&control)) {
    check->userClick();
  } else if (auto* option = dynamic_cast<OptionButton*>(&control)) {
    option->userClick();
  } else if (auto* item = dynamic_cast<MenuItem*>(&control)) {
    item->userPick();
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

// The mouse on a list: the wheel, the scroll bar, the left button down and up at a pixel row,
// the right button up.
void actOnList(ListBox& list, const std::string& verb, const script::ActionArgs& args) {
  if (verb == "wheel") {
    list.userWheel(args.number(2));
  } else if (verb == "scroll") {
    list.userScroll(args.number(2));
  } else if (verb == "mousedown") {
    list.userMouseDown(args.number(2));
  } else {
    list.userRightButtonUp();
  }
}

void actOnControl(Form& form, const script::ActionArgs& args) {
  const std::string verb = args.verb();
  script::checkControlVerb(verb);
  const std::string name = args.text(1);
  Control& control = controlOf(form, name);
  script::checkControlKind(verb, script::controlKind(control), name, toUtf8(form.name()));
  if (verb == "key") {
    pressKey(form, control, script::keyCode(args.text(2)));
  } else if (verb == "select" || verb == "check") {
    auto& list = dynamic_cast<ListBox&>(control);
    const int32_t row = args.number(2);
    script::checkListRow(
        verb, name, row,
        {list.listCount(), list.topIndex(), list.visibleRows(), list.hasCheckBoxes()});
    if (list.usable()) {
      verb == "check" ? list.userCheck(row) : list.userSelect(row);
    }
  } else if (verb == "grid") {
    auto& grid = dynamic_cast<Grid&>(control);
    const int32_t row = args.number(2);
    script::checkGridRow(name, row, grid.rows());
    if (grid.usable()) {
      grid.userSelectRow(row);
    }
  } else if (!control.usable()) {
    return;
  } else if (verb == "click") {
    click(control);
  } else if (verb == "text") {
    dynamic_cast<TextBox&>(control).userType(fromUtf8(args.text(2)));
  } else if (verb == "dblclick") {
    if (auto* list = dynamic_cast<ListBox*>(&control)) {
      list->userDblClick();
    } else {
      dynamic_cast<Grid&>(control).userDblClick();
    }
  } else {
    actOnList(dynamic_cast<ListBox&>(control), verb, args);
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
  if (verb == "close") {
    form.userClose();
  } else if (verb == "tick") {
    tick(form);
  } else {
    actOnControl(form, args);
  }
}

}  // namespace kvm::sim
