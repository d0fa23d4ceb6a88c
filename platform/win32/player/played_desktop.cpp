#include "platform/win32/player/played_desktop.h"

#include "platform/win32/windows_headers.h"

#include <commctrl.h>

#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "platform/script/action_check.h"
#include "platform/script/form_dump.h"
#include "platform/script/form_stack.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/ui/form_desktop.h"
#include "ui/control.h"
#include "ui/form.h"
#include "ui/list_box.h"

namespace kvm::win32 {

namespace {

using nlohmann::json;

class PlayedDesktop final : public Ui {
 public:
  explicit PlayedDesktop(const DispatchPtr& runner)
      : runner_(runner),
        script_(desktopFromDispatch(runner)),
        windows_(makeFormDesktop([this] { return owner(); }, false)) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
  }

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override {
    static_cast<void>(owner());  // a runner without a screen stops here, not at a failed box
    return windows_->messageBox(text, title, icon, buttons);
  }
  bool shiftDown() override { return script_->shiftDown(); }
  bool topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) override {
    return script_->topLevelWindowAfter(afterWindow, title);
  }
  CalendarDate today() override { return script_->today(); }
  ScreenSize screenSize() override { return script_->screenSize(); }

  void formLoaded(Form& form) override {
    forms_.load(form);
    windows_->formLoaded(form);
  }
  void formUnloaded(Form& form) override {
    forms_.forget(form);
    windows_->formUnloaded(form);
    report(u"unloaded", form);
  }
  void forgetForm(Form& form) override {
    forms_.forget(form);
    windows_->forgetForm(form);
  }
  void showModal(Form& form) override {
    forms_.show(form);
    report(u"shown", form);
    windows_->showModal(form);
  }
  void formHidden(Form& form) override {
    forms_.hide(form);
    windows_->formHidden(form);
    report(u"hidden", form);
  }
  void setWindowTopmost(Form& form, bool topmost) override {
    forms_.setTopmost(form, topmost);
    windows_->setWindowTopmost(form, topmost);
  }
  void activateWindow(std::u16string_view title) override {
    forms_.activate(title);
    windows_->activateWindow(title);
  }
  void popupMenu(Form& form, MenuItem& menu) override { windows_->popupMenu(form, menu); }

  [[nodiscard]] json dump(std::u16string_view what) {
    if (what == u"forms") {
      return forms_.dump();
    }
    if (what.starts_with(u"form:")) {
      return dumpForm(forms_.loaded(what.substr(5)));
    }
    if (what == u"top") {
      const Form& form = topForm();
      return {{"form", toUtf8(form.name())}, {"value", dumpForm(form)}};
    }
    if (what.starts_with(u"control:")) {
      const Form& form = topForm();
      const Control* control = form.findControl(what.substr(8));
      if (control == nullptr) {
        throw std::invalid_argument(toUtf8(form.name()) + " has no control " +
                                    toUtf8(what.substr(8)));
      }
      return dumpControl(form, *control);
    }
    throw std::invalid_argument("nothing to dump under the name " + toUtf8(what));
  }

 private:
  HWND owner() {
    if (owner_ == nullptr) {
      const double handle = toDouble(call(runner_, u"OwnerWindow"));
      owner_ = reinterpret_cast<HWND>(  // NOLINT: window handles travel as numbers
          static_cast<std::intptr_t>(std::llround(handle)));
    }
    return owner_;
  }

  void report(std::u16string_view kind, const Form& form) {
    call(runner_, u"FormEvent",
         {Variant(std::u16string(kind)), Variant(form.name()), Variant(form.caption())});
  }

  [[nodiscard]] const Form& topForm() const {
    const Form* top = forms_.top();
    if (top == nullptr) {
      throw std::invalid_argument("no dialog is shown");
    }
    return *top;
  }

  [[nodiscard]] json dumpControl(const Form& form, const Control& control) const {
    json state = script::dumpControl(control);
    state["$kind"] = script::controlKind(control);
    const ControlPlace place = controlPlaceOf(*windows_, form, control);
    if (place.window != nullptr) {
      state["$window"] = reinterpret_cast<std::uintptr_t>(place.window);  // NOLINT: a number
    }
    if (place.id != 0) {
      state["$id"] = place.id;
    }
    if (const auto* list = dynamic_cast<const ListBox*>(&control); list != nullptr) {
      state["$rowHeight"] = list->rowHeight();
      state["$visibleRows"] = list->visibleRows();
    }
    return state;
  }

  [[nodiscard]] json dumpForm(const Form& form) const {
    json value = forms_.dumpForm(form);
    for (const Control* control : form.controls()) {
      value["controls"][toUtf8(control->name())] = dumpControl(form, *control);
    }
    if (HWND window = formWindowOf(*windows_, form); window != nullptr) {
      value["$window"] = reinterpret_cast<std::uintptr_t>(window);  // NOLINT: a number
    }
    return value;
  }

  DispatchPtr runner_;
  std::shared_ptr<Ui> script_;
  std::shared_ptr<Ui> windows_;
  HWND owner_ = nullptr;
  script::FormStack forms_;
};

}  // namespace

std::shared_ptr<Ui> makePlayedDesktop(const DispatchPtr& runner) {
  return std::make_shared<PlayedDesktop>(runner);
}

std::string dumpPlayedDesktop(Ui& desktop, std::u16string_view what) {
  auto* played = dynamic_cast<PlayedDesktop*>(&desktop);
  if (played == nullptr) {
    throw std::invalid_argument("the desktop has no dialogs to dump");
  }
  return played->dump(what).dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace kvm::win32
