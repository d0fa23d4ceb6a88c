#include "platform/script/form_stack.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/script/form_dump.h"
#include "ui/form.h"

namespace kvm::script {

namespace {

void removeForm(std::vector<Form*>& forms, const Form* form) {
  forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
}

bool contains(const std::vector<Form*>& forms, const Form* form) {
  return std::find(forms.begin(), forms.end(), form) != forms.end();
}

nlohmann::json names(const std::vector<Form*>& forms) {
  nlohmann::json list = nlohmann::json::array();
  for (const Form* form : forms) {
    list.push_back(toUtf8(form->name()));
  }
  return list;
}

}  // namespace

void FormStack::load(Form& form) {
  if (!contains(loaded_, &form)) {
    loaded_.push_back(&form);
  }
}

void FormStack::forget(const Form& form) {
  removeForm(loaded_, &form);
  hide(form);
}

void FormStack::show(Form& form) {
  shown_.push_back(&form);
  active_ = &form;
}

void FormStack::hide(const Form& form) {
  removeForm(shown_, &form);
  removeForm(topmost_, &form);
  if (active_ == &form) {
    active_ = top();
  }
}

void FormStack::setTopmost(Form& form, bool topmost) {
  removeForm(topmost_, &form);
  if (topmost) {
    topmost_.push_back(&form);
  }
}

void FormStack::activate(std::u16string_view caption) {
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    if ((*it)->caption() == caption) {
      active_ = *it;
      return;
    }
  }
  raise(err::kInvalidCall);
}

const Form& FormStack::loaded(std::u16string_view name) const {
  for (const Form* form : loaded_) {
    if (form->name() == name) {
      return *form;
    }
  }
  throw std::invalid_argument("the dialog " + toUtf8(name) + " is not loaded");
}

nlohmann::json FormStack::dump() const {
  return {{"loaded", names(loaded_)},
          {"shown", names(shown_)},
          {"topmost", names(topmost_)},
          {"active",
           active_ != nullptr ? nlohmann::json(toUtf8(active_->name())) : nlohmann::json(nullptr)}};
}

nlohmann::json FormStack::dumpForm(const Form& form) const {
  nlohmann::json value = script::dumpForm(form);
  value["shown"] = contains(shown_, &form);
  value["topmost"] = contains(topmost_, &form);
  return value;
}

}  // namespace kvm::script
