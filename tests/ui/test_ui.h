#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/menu_item.h"
#include "ui/ui.h"

namespace kvm::testing {

// A desktop for tests: boxes take queued answers (OK when none is queued) and are kept; a
// modal display runs `user` (the user's part) and then closes the form if it is still shown;
// everything the forms ask of the desktop is written to `events`.
class TestUi final : public Ui {
 public:
  struct Box {
    std::u16string text;
    std::optional<std::u16string> title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
  };

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override {
    boxes.push_back(Box{std::u16string(text), title, icon, buttons});
    if (answers.empty()) {
      return MsgAnswer::Ok;
    }
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t /*afterWindow*/, std::u16string_view /*title*/) override {
    return false;
  }
  CalendarDate today() override { return {}; }

  void formLoaded(Form& form) override { note(u"loaded ", form); }
  void formUnloaded(Form& form) override { note(u"unloaded ", form); }
  void showModal(Form& form) override {
    note(u"shown ", form);
    if (user) {
      user(form);
    }
    if (form.isLoaded() && form.isShown()) {
      form.hide();
    }
  }
  void formHidden(Form& form) override { note(u"hidden ", form); }
  void setWindowTopmost(Form& form, bool topmost) override {
    note(topmost ? u"topmost " : u"not topmost ", form);
  }
  void activateWindow(std::u16string_view title) override {
    events.push_back(u"activate " + std::u16string(title));
  }
  void popupMenu(Form& form, MenuItem& menu) override {
    events.push_back(u"popup " + menu.name() + u" on " + form.name());
  }

  std::deque<MsgAnswer> answers;
  std::vector<Box> boxes;
  std::vector<std::u16string> events;
  std::function<void(Form&)> user;

 private:
  void note(std::u16string_view what, const Form& form) {
    events.push_back(std::u16string(what) + form.name());
  }
};

}  // namespace kvm::testing
