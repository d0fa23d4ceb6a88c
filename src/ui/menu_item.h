#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// A menu item; a top-level menu holds the items it opens. A caption of "-" is a separator.
class MenuItem final : public Control {
 public:
  MenuItem(Form& form, std::u16string name, std::u16string caption, MenuItem* parent = nullptr);

  [[nodiscard]] const std::u16string& caption() const noexcept { return state_.caption; }
  void setCaption(std::u16string caption) { state_.caption = std::move(caption); }
  [[nodiscard]] const std::vector<MenuItem*>& items() const noexcept { return items_; }
  [[nodiscard]] bool isSeparator() const noexcept { return state_.caption == u"-"; }

  std::function<void()> onClick;

  // The user picks the item; nothing happens for a hidden, disabled or separator item.
  void userPick();

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 protected:
  void saveOwnDesign() override { design_ = state_; }
  void restoreOwnDesign() override { state_ = design_; }

 private:
  struct State {
    std::u16string caption;
  };
  std::vector<MenuItem*> items_;
  State state_;
  State design_;
};

}  // namespace kvm
