#include "platform/script/action_check.h"

#include <array>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "platform/script/script_stop.h"
#include "ui/check_box.h"
#include "ui/control.h"
#include "ui/grid.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/menu_item.h"
#include "ui/option_group.h"
#include "ui/picture_box.h"
#include "ui/text_box.h"
#include "ui/timer.h"

namespace kvm::script {

namespace {

template <class T>
bool is(const Control& control) {
  return dynamic_cast<const T*>(&control) != nullptr;
}

bool isOneOf(const std::string& word, std::initializer_list<std::string_view> words) {
  for (const std::string_view candidate : words) {
    if (word == candidate) {
      return true;
    }
  }
  return false;
}

}  // namespace

const char* controlKind(const Control& control) {
  if (is<ComboBox>(control)) return "combo";
  if (is<TextBox>(control)) return "text";
  if (is<ListBox>(control)) return "list";
  if (is<Grid>(control)) return "grid";
  if (is<CheckBox>(control)) return "check";
  if (is<OptionButton>(control)) return "option";
  if (is<OptionGroup>(control)) return "options";
  if (is<Button>(control)) return "button";
  if (is<Label>(control)) return "label";
  if (is<Frame>(control)) return "frame";
  if (is<MenuItem>(control)) return "menu";
  if (is<Timer>(control)) return "timer";
  if (is<PictureBox>(control)) return "picture";
  return "other";
}

void checkControlVerb(const std::string& verb) {
  if (!isOneOf(verb, {"click", "select", "check", "text", "key", "wheel", "scroll", "mousedown",
                      "rclick", "dblclick", "grid"})) {
    throw ScriptStop("unknown action " + verb);
  }
}

void checkControlKind(const std::string& verb, const std::string& kind, const std::string& name,
                      const std::string& form) {
  const auto require = [&](bool ok, const char* what) {
    if (!ok) {
      throw ScriptStop(name + " of " + form + " is not " + what);
    }
  };
  if (verb == "click") {
    if (!isOneOf(kind, {"button", "check", "option", "menu"})) {
      throw ScriptStop(name + " cannot be clicked");
    }
  } else if (verb == "dblclick") {
    if (kind != "list" && kind != "grid") {
      throw ScriptStop(name + " cannot be double-clicked");
    }
  } else if (verb == "text") {
    require(kind == "text" || kind == "combo", "a text box");
  } else if (verb == "grid") {
    require(kind == "grid", "a grid");
  } else if (verb != "key") {
    require(kind == "list", "a list");
  }
}

void checkListRow(const std::string& verb, const std::string& name, int32_t row,
                  const ListView& list) {
  if (row < 0 || row >= list.rows) {
    throw ScriptStop(name + " has no row " + std::to_string(row));
  }
  if (row < list.top || row >= list.top + list.visibleRows) {
    throw ScriptStop("row " + std::to_string(row) + " of " + name +
                     " is not visible; scroll the list first");
  }
  if (verb == "check" && !list.checkBoxes) {
    throw ScriptStop(name + " has no check boxes");
  }
}

void checkGridRow(const std::string& name, int32_t row, int32_t rows) {
  if (row < 0 || row >= rows) {
    throw ScriptStop(name + " has no row " + std::to_string(row));
  }
}

int32_t keyCode(const std::string& name) {
  static constexpr std::array<std::pair<std::string_view, int32_t>, 10> kKeys{{
      {"Up", vk::kUp},
      {"Down", vk::kDown},
      {"Left", vk::kLeft},
      {"Right", vk::kRight},
      {"Home", vk::kHome},
      {"End", vk::kEnd},
      {"PageUp", vk::kPageUp},
      {"PageDown", vk::kPageDown},
      {"Enter", vk::kEnter},
      {"Escape", vk::kEscape},
  }};
  for (const auto& [keyName, code] : kKeys) {
    if (name == keyName) {
      return code;
    }
  }
  throw ScriptStop("unknown key " + name);
}

}  // namespace kvm::script
