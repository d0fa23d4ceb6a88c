#include "platform/win32/ui/form_desktop.h"

#include <map>
#include <vector>

#include "platform/win32/ui/form_window.h"
#include "platform/win32/win32_desktop.h"
#include "ui/form.h"

namespace kvm::win32 {

namespace {

class FormDesktop final : public Ui {
 public:
  FormDesktop(std::function<HWND()> owner, bool timersRun)
      : plain_(makeWin32Desktop()), owner_(std::move(owner)), timersRun_(timersRun) {}

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override {
    return plain_->messageBox(text, title, icon, buttons);
  }
  bool shiftDown() override { return plain_->shiftDown(); }
  bool topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) override {
    return plain_->topLevelWindowAfter(afterWindow, title);
  }
  CalendarDate today() override { return plain_->today(); }
  ScreenSize screenSize() override { return plain_->screenSize(); }
  void activateWindow(std::u16string_view title) override {
    syncAll();  // a caption the handler just set must be on the screen to be found
    plain_->activateWindow(title);
  }

  void formLoaded(Form& form) override {
    if (!windows_.contains(&form)) {
      windows_.emplace(&form,
                       std::make_unique<FormWindow>(
                           form, owner_ ? owner_() : nullptr, [this] { syncAll(); }, timersRun_));
    }
  }
  void formUnloaded(Form& form) override { retire(form); }
  void forgetForm(Form& form) override { retire(form); }

  void showModal(Form& form) override {
    formLoaded(form);
    FormWindow& window = *windows_.at(&form);
    ++depth_;
    window.runModal();
    --depth_;
    if (depth_ == 0) {
      retired_.clear();
    }
    syncAll();
  }
  void formHidden(Form& form) override {
    if (const auto found = windows_.find(&form); found != windows_.end()) {
      found->second->close();
    }
  }
  void setWindowTopmost(Form& form, bool topmost) override {
    if (const auto found = windows_.find(&form); found != windows_.end()) {
      SetWindowPos(found->second->handle(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  void popupMenu(Form& form, MenuItem& menu) override {
    if (const auto found = windows_.find(&form); found != windows_.end()) {
      found->second->popupMenu(menu);
    }
  }

  [[nodiscard]] HWND windowOf(const Form& form) const {
    const auto found = windows_.find(&form);
    return found == windows_.end() ? nullptr : found->second->handle();
  }

  [[nodiscard]] ControlPlace placeOf(const Form& form, const Control& control) const {
    const auto found = windows_.find(&form);
    if (found == windows_.end()) {
      return {};
    }
    return {found->second->controlWindow(control), found->second->controlId(control)};
  }

  void syncAll() {
    for (const auto& [form, window] : windows_) {
      if (form->isLoaded()) {
        window->sync();
      }
    }
  }

 private:
  // A handler may unload its own form: the window stays until no message of it is being
  // handled any more.
  void retire(Form& form) {
    const auto found = windows_.find(&form);
    if (found == windows_.end()) {
      return;
    }
    found->second->close();
    retired_.push_back(std::move(found->second));
    windows_.erase(found);
    if (depth_ == 0) {
      retired_.clear();
    }
  }

  std::shared_ptr<Ui> plain_;
  std::function<HWND()> owner_;
  bool timersRun_;
  std::map<const Form*, std::unique_ptr<FormWindow>> windows_;
  std::vector<std::unique_ptr<FormWindow>> retired_;
  int depth_ = 0;
};

}  // namespace

std::shared_ptr<Ui> makeFormDesktop(std::function<HWND()> owner, bool timersRun) {
  return std::make_shared<FormDesktop>(std::move(owner), timersRun);
}

HWND formWindowOf(Ui& desktop, const Form& form) {
  auto* forms = dynamic_cast<FormDesktop*>(&desktop);
  return forms == nullptr ? nullptr : forms->windowOf(form);
}

ControlPlace controlPlaceOf(Ui& desktop, const Form& form, const Control& control) {
  auto* forms = dynamic_cast<FormDesktop*>(&desktop);
  return forms == nullptr ? ControlPlace{} : forms->placeOf(form, control);
}

void refreshForms(Ui& desktop) {
  if (auto* forms = dynamic_cast<FormDesktop*>(&desktop); forms != nullptr) {
    forms->syncAll();
  }
}

}  // namespace kvm::win32
