#include "ui/form.h"

#include "ui/control.h"

namespace kvm {

Form::Form(std::shared_ptr<Ui> ui, std::u16string name)
    : ui_(std::move(ui)), name_(std::move(name)) {}

Form::~Form() {
  if (loaded_) {
    ui_->forgetForm(*this);
  }
}

void Form::registerControl(Control& control) {
  controls_.push_back(&control);
}

void Form::finishDesign() {
  designCaption_ = caption_;
  for (Control* control : controls_) {
    control->saveDesign();
  }
}

void Form::setSize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
}

void Form::move(int32_t left, int32_t top) {
  left_ = left;
  top_ = top;
}

void Form::load() {
  if (loaded_) {
    return;
  }
  caption_ = designCaption_;
  for (Control* control : controls_) {
    control->restoreDesign();
  }
  focus_ = nullptr;
  loaded_ = true;
  ui_->formLoaded(*this);
  onLoad();
}

void Form::showModal() {
  load();
  if (shown_) {
    return;
  }
  shown_ = true;
  ui_->showModal(*this);
  shown_ = false;
}

void Form::hide() {
  if (!shown_) {
    return;
  }
  shown_ = false;
  ui_->formHidden(*this);
}

bool Form::unload() {
  if (!loaded_) {
    return true;
  }
  bool cancel = false;
  onQueryUnload(cancel);
  if (cancel) {
    return false;
  }
  onUnload();
  loaded_ = false;
  shown_ = false;
  focus_ = nullptr;
  ui_->formUnloaded(*this);
  return true;
}

void Form::userClose() {
  if (closeBoxEnabled_) {
    unload();
  }
}

Control* Form::findControl(std::u16string_view name) const {
  for (Control* control : controls_) {
    if (control->name() == name) {
      return control;
    }
  }
  return nullptr;
}

void Form::popupMenu(MenuItem& menu) {
  ui_->popupMenu(*this, menu);
}

}  // namespace kvm
