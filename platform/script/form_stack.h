#pragma once

#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace kvm {
class Form;
}  // namespace kvm

namespace kvm::script {

// The dialogs of a desktop as host scripts see them: loaded (in loading order), shown (the
// modal stack, bottom to top), in the top-most layer, and the window last activated. Both
// desktops keep it the same way, so that their "forms" dumps agree.
class FormStack {
 public:
  void load(Form& form);
  // Unloaded or gone: off every list; the window on top becomes the active one.
  void forget(const Form& form);
  void show(Form& form);
  void hide(const Form& form);
  void setTopmost(Form& form, bool topmost);
  // Activates the highest shown dialog with the caption; run-time error 5 when there is none.
  void activate(std::u16string_view caption);

  // The dialog on top, nullptr when none is shown.
  [[nodiscard]] Form* top() const noexcept { return shown_.empty() ? nullptr : shown_.back(); }
  // A loaded dialog by name; std::invalid_argument when it is not loaded.
  [[nodiscard]] const Form& loaded(std::u16string_view name) const;

  // The "forms" dump: {"loaded", "shown" (bottom to top), "topmost", "active"}.
  [[nodiscard]] nlohmann::json dump() const;
  // The "form:NAME" dump of a dialog, with whether it is shown and top-most.
  [[nodiscard]] nlohmann::json dumpForm(const Form& form) const;

 private:
  std::vector<Form*> loaded_;
  std::vector<Form*> shown_;
  std::vector<Form*> topmost_;
  Form* active_ = nullptr;
};

}  // namespace kvm::script
