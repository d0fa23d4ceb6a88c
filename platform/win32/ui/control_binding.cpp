#include "platform/win32/ui/control_binding.h"

#include <string>

#include "platform/win32/bstr.h"
#include "platform/win32/handles.h"
#include "platform/win32/ui/window_binding.h"
#include "ui/check_box.h"
#include "ui/grid.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/option_group.h"
#include "ui/picture_box.h"
#include "ui/text_box.h"
#include "ui/timer.h"

// The bindings of the simple kinds of control, and the choice of binding by kind.
namespace kvm::win32 {

namespace {

class LabelBinding final : public WindowBinding {
 public:
  LabelBinding(Label& label, const BindingContext& context)
      : WindowBinding(label, makeChild(L"STATIC", label.caption(), SS_LEFT, 0, label, context)),
        label_(label),
        font_(context.font),
        caption_(label.caption()),
        inPicture_(context.parent != GetAncestor(context.parent, GA_ROOT)) {}

  void sync() override {
    WindowBinding::sync();
    if (label_.caption() != caption_) {
      caption_ = label_.caption();
      SetWindowTextW(window(), wide(caption_));
    }
  }
  HBRUSH colour(HDC dc) override {
    SetTextColor(dc, colorRef(label_.foreColor()));
    SetBkMode(dc, OPAQUE);
    if (inPicture_) {
      SetBkColor(dc, RGB(0, 0, 0));
      return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    }
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }

 private:
  // A label placed without a height is one line of the dialog's font high.
  [[nodiscard]] int minimumHeight() const noexcept override { return kLineHeight; }
  // An autosized label shows all of its caption even where the font is wider than the one its
  // width is counted for.
  [[nodiscard]] int minimumWidth() const override {
    if (!label_.autoSize() || label_.caption().empty()) {
      return 0;
    }
    const WindowDc dc(window());
    const SelectedObject font(dc.get(), font_);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), wide(label_.caption()),
                          static_cast<int>(label_.caption().size()), &extent);
    return extent.cx;
  }

  Label& label_;
  HFONT font_;
  std::u16string caption_;
  bool inPicture_;
};

// A frame is drawn by the dialog itself: an etched rectangle with its caption over the top
// edge. As a window of its own it would have to lie beneath its contents and still be painted
// after them.
class FrameBinding final : public ControlBinding {
 public:
  FrameBinding(Frame& frame, const BindingContext& context)
      : frame_(frame), dialog_(context.parent), font_(context.font) {}

  [[nodiscard]] HWND window() const noexcept override { return nullptr; }
  void sync() override {
    const Shown now{frame_.caption(), frame_.visible(), frame_.left(),
                    frame_.top(),     frame_.width(),   frame_.height()};
    if (now != shown_) {
      invalidate(shown_);
      shown_ = now;
      invalidate(shown_);
    }
  }
  void paint(HDC dc) override {
    if (!shown_.visible) {
      return;
    }
    const SelectedObject font(dc, font_);
    TEXTMETRICW metric{};
    GetTextMetricsW(dc, &metric);
    RECT edge{shown_.left, shown_.top + metric.tmHeight / 2, shown_.left + shown_.width,
              shown_.top + shown_.height};
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    if (!shown_.caption.empty()) {
      SIZE extent{};
      GetTextExtentPoint32W(dc, wide(shown_.caption), static_cast<int>(shown_.caption.size()),
                            &extent);
      RECT text{shown_.left + kCaptionIndent, shown_.top,
                shown_.left + kCaptionIndent + extent.cx + 2, shown_.top + metric.tmHeight};
      FillRect(dc, &text, GetSysColorBrush(COLOR_BTNFACE));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, colorRef(frame_.foreColor()));
      TextOutW(dc, text.left + 1, text.top, wide(shown_.caption),
               static_cast<int>(shown_.caption.size()));
    }
  }

 private:
  static constexpr int kCaptionIndent = 6;
  struct Shown {
    std::u16string caption;
    bool visible = false;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const Shown&) const = default;
  };
  void invalidate(const Shown& shown) const {
    const RECT area{shown.left, shown.top, shown.left + shown.width, shown.top + shown.height};
    InvalidateRect(dialog_, &area, TRUE);
  }

  Frame& frame_;
  HWND dialog_;
  HFONT font_;
  Shown shown_;
};

// A window of the BUTTON class for a model the user clicks: its clicks go to the model.
template <class Model>
class ClickBinding : public WindowBinding {
 public:
  ClickBinding(Model& model, DWORD style, const BindingContext& context)
      : WindowBinding(model,
                      makeChild(L"BUTTON", model.caption(), style | WS_TABSTOP, 0, model, context)),
        model_(model) {}

  bool command(WORD code) override {
    if (code != BN_CLICKED) {
      return false;
    }
    model_.userClick();
    return true;
  }

 protected:
  Model& model_;
};

class ButtonBinding final : public ClickBinding<Button> {
 public:
  ButtonBinding(Button& button, const BindingContext& context)
      : ClickBinding(button, context.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, context),
        caption_(button.caption()) {}

  void sync() override {
    WindowBinding::sync();
    if (model_.caption() != caption_) {
      caption_ = model_.caption();
      SetWindowTextW(window(), wide(caption_));
    }
  }

 private:
  std::u16string caption_;
};

class CheckBinding final : public ClickBinding<CheckBox> {
 public:
  CheckBinding(CheckBox& box, const BindingContext& context)
      : ClickBinding(box, BS_3STATE, context) {}

  void sync() override {
    WindowBinding::sync();
    SendMessageW(window(), BM_SETCHECK, static_cast<WPARAM>(model_.value()), 0);
  }
};

class OptionBinding final : public ClickBinding<OptionButton> {
 public:
  OptionBinding(OptionButton& button, const BindingContext& context)
      : ClickBinding(button, BS_RADIOBUTTON, context) {}

  void sync() override {
    WindowBinding::sync();
    SendMessageW(window(), BM_SETCHECK, model_.value() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
};

// A timer of the dialog: a window timer while the model's is enabled.
class TimerBinding final : public ControlBinding {
 public:
  TimerBinding(Timer& timer, const BindingContext& context)
      : timer_(timer),
        owner_(context.parent),
        id_(static_cast<UINT_PTR>(context.id)),
        onClock_(context.timersRun) {}
  ~TimerBinding() override { KillTimer(owner_, id_); }
  TimerBinding(const TimerBinding&) = delete;
  TimerBinding& operator=(const TimerBinding&) = delete;
  TimerBinding(TimerBinding&&) = delete;
  TimerBinding& operator=(TimerBinding&&) = delete;

  [[nodiscard]] HWND window() const noexcept override { return nullptr; }
  void sync() override {
    if (timer_.enabled() == running_) {
      return;
    }
    running_ = timer_.enabled();
    if (running_ && onClock_) {
      SetTimer(owner_, id_, static_cast<UINT>(timer_.interval()), nullptr);
    } else {
      KillTimer(owner_, id_);
    }
  }
  void timer() override { timer_.fire(); }

 private:
  Timer& timer_;
  HWND owner_;
  UINT_PTR id_;
  bool onClock_;
  bool running_ = false;
};

template <typename Kind>
Kind* as(Control& control) {
  return dynamic_cast<Kind*>(&control);
}

}  // namespace

std::unique_ptr<ControlBinding> bindControl(Control& control, const BindingContext& context) {
  if (auto* label = as<Label>(control)) {
    return std::make_unique<LabelBinding>(*label, context);
  }
  if (auto* frame = as<Frame>(control)) {
    return std::make_unique<FrameBinding>(*frame, context);
  }
  if (auto* button = as<Button>(control)) {
    return std::make_unique<ButtonBinding>(*button, context);
  }
  if (auto* combo = as<ComboBox>(control)) {
    return bindComboBox(*combo, context);
  }
  if (auto* box = as<TextBox>(control)) {
    return bindTextBox(*box, context);
  }
  if (auto* check = as<CheckBox>(control)) {
    return std::make_unique<CheckBinding>(*check, context);
  }
  if (auto* option = as<OptionButton>(control)) {
    return std::make_unique<OptionBinding>(*option, context);
  }
  if (auto* list = as<ListBox>(control)) {
    return bindListBox(*list, context);
  }
  if (auto* grid = as<Grid>(control)) {
    return bindGrid(*grid, context);
  }
  if (auto* picture = as<PictureBox>(control)) {
    return bindPictureBox(*picture, context);
  }
  if (auto* timer = as<Timer>(control)) {
    return std::make_unique<TimerBinding>(*timer, context);
  }
  return nullptr;  // menus open as pop-ups; option arrays are their buttons
}

}  // namespace kvm::win32