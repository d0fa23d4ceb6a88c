#include "platform/script/form_dump.h"

#include <string>

#include "base/text.h"
#include "canvas/canvas_json.h"
#include "ui/check_box.h"
#include "ui/control.h"
#include "ui/control_visitor.h"
#include "ui/form.h"
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

using nlohmann::json;

std::string colorText(Color color) {
  return canvas::colourText(canvas::Rgb{color.red, color.green, color.blue});
}

class StateDumper final : public ControlVisitor {
 public:
  json state;

  void visit(const Label& control) override { captioned(control); }
  void visit(const Frame& control) override { captioned(control); }
  void visit(const Button& control) override { captioned(control); }
  void visit(const TextBox& control) override { textBox(control); }
  void visit(const ComboBox& control) override {
    textBox(control);
    json items = json::array();
    for (const auto& item : control.items()) {
      items.push_back(toUtf8(item));
    }
    state["items"] = std::move(items);
  }
  void visit(const CheckBox& control) override {
    state = {{"value", control.value()}, {"caption", toUtf8(control.caption())}};
  }
  void visit(const OptionButton& control) override {
    state = {{"value", control.value()}, {"caption", toUtf8(control.caption())}};
  }
  void visit(const OptionGroup& control) override { state = {{"selected", control.selected()}}; }
  void visit(const ListBox& control) override {
    json items = json::array();
    for (const auto& item : control.items()) {
      json row{{"text", toUtf8(item.text)}};
      if (control.hasCheckBoxes()) {
        row["checked"] = item.checked;
      }
      items.push_back(std::move(row));
    }
    state = {{"items", std::move(items)},
             {"selected", control.listIndex()},
             {"top", control.topIndex()},
             {"tag", toUtf8(control.tag())}};
  }
  void visit(const MenuItem& control) override { state = {{"caption", toUtf8(control.caption())}}; }
  void visit(const Timer& control) override {
    state = {{"interval", control.interval()}, {"tag", toUtf8(control.tag())}};
  }
  void visit(const PictureBox& control) override {
    state = canvas::pictureJson(control.width(), control.height(), control.ops());
  }
  void visit(const Grid& control) override {
    json rows = json::array();
    for (const auto& cells : control.cells()) {
      json row = json::array();
      for (const auto& cell : cells) {
        row.push_back(toUtf8(cell));
      }
      rows.push_back(std::move(row));
    }
    state = {{"rows", std::move(rows)}, {"row", control.row()}, {"col", control.col()}};
  }

 private:
  void captioned(const CaptionedControl& control) {
    state = {{"caption", toUtf8(control.caption())},
             {"left", control.left()},
             {"top", control.top()},
             {"width", control.width()},
             {"foreColor", colorText(control.foreColor())}};
  }
  void textBox(const TextBox& control) {
    state = {{"text", toUtf8(control.text())},
             {"tag", toUtf8(control.tag())},
             {"selStart", control.selStart()},
             {"selLength", control.selLength()}};
  }
};

}  // namespace

json dumpControl(const Control& control) {
  StateDumper dumper;
  control.accept(dumper);
  dumper.state["visible"] = control.visible();
  dumper.state["enabled"] = control.enabled();
  if (control.hasFocus()) {
    dumper.state["focused"] = true;
  }
  return std::move(dumper.state);
}

json dumpForm(const Form& form) {
  json controls = json::object();
  for (const Control* control : form.controls()) {
    controls[toUtf8(control->name())] = dumpControl(*control);
  }
  const Control* focus = form.focus();
  return {{"caption", toUtf8(form.caption())},
          {"focus", focus != nullptr ? json(toUtf8(focus->name())) : json(nullptr)},
          {"left", form.left()},
          {"top", form.top()},
          {"width", form.width()},
          {"height", form.height()},
          {"controls", std::move(controls)}};
}

}  // namespace kvm::script
