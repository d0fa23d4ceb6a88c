#include "platform/win32/ui/window_binding.h"

#include <string>

#include "platform/win32/bstr.h"
#include "ui/text_box.h"

namespace kvm::win32 {

namespace {
// A combo box's window includes its drop-down list.
constexpr int kDropDownHeight = 160;

// Edit boxes and combo boxes: the text and the selection. What the window shows is only
// overwritten where the model changed since it was last shown, so typing keeps its caret.
class TextBinding final : public WindowBinding {
 public:
  TextBinding(TextBox& box, HWND window, HWND edit, bool combo)
      : WindowBinding(box, window), box_(box), edit_(edit), combo_(combo), text_(box.text()) {}

  void sync() override {
    WindowBinding::sync();
    if (box_.text() != text_) {
      text_ = box_.text();
      const ScopedFlag quiet(syncing_);
      SetWindowTextW(window(), wide(text_));
    }
    if (box_.selStart() != selStart_ || box_.selLength() != selLength_) {
      selStart_ = box_.selStart();
      selLength_ = box_.selLength();
      const auto start = static_cast<WPARAM>(selStart_);
      const auto end = static_cast<LPARAM>(selStart_) + selLength_;
      if (combo_) {
        SendMessageW(window(), CB_SETEDITSEL, 0, MAKELPARAM(start, end));
      } else {
        SendMessageW(edit_, EM_SETSEL, start, end);
      }
    }
  }
  bool command(WORD code) override {
    const bool changed = combo_ ? code == CBN_EDITCHANGE : code == EN_CHANGE;
    if (combo_ && code == CBN_SELCHANGE) {
      const LRESULT index = SendMessageW(window(), CB_GETCURSEL, 0, 0);
      if (index >= 0) {
        const auto row = static_cast<std::size_t>(index);
        const auto& items = static_cast<ComboBox&>(box_).items();
        if (row < items.size()) {
          typed(items[row]);
        }
      }
      return true;
    }
    if (!changed) {
      return false;
    }
    if (!syncing_) {
      typed(windowText(window()));
    }
    return true;
  }

 private:
  struct ScopedFlag {
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ScopedFlag(ScopedFlag&&) = delete;
    ScopedFlag& operator=(ScopedFlag&&) = delete;
    ~ScopedFlag() { flag_ = false; }
    bool& flag_;
  };

  void typed(const std::u16string& text) {
    if (text == box_.text()) {
      return;
    }
    text_ = text;
    box_.userType(text);
    // The caret is where the user left it, not where the model puts it.
    selStart_ = box_.selStart();
    selLength_ = box_.selLength();
  }
  [[nodiscard]] int extraHeight() const noexcept override { return combo_ ? kDropDownHeight : 0; }

  TextBox& box_;
  HWND edit_;
  bool combo_;
  bool syncing_ = false;
  std::u16string text_;
  int32_t selStart_ = 0;
  int32_t selLength_ = 0;
};

}  // namespace

std::unique_ptr<ControlBinding> bindTextBox(TextBox& box, const BindingContext& context) {
  HWND window =
      makeChild(L"EDIT", box.text(), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, box, context);
  return std::make_unique<TextBinding>(box, window, window, false);
}

std::unique_ptr<ControlBinding> bindComboBox(ComboBox& box, const BindingContext& context) {
  HWND window =
      makeChild(L"COMBOBOX", u"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0, box,
                context, kDropDownHeight);
  for (const std::u16string& item : box.items()) {
    SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item)));
  }
  SetWindowTextW(window, wide(box.text()));
  return std::make_unique<TextBinding>(box, window,
                                       FindWindowExW(window, nullptr, L"EDIT", nullptr), true);
}

}  // namespace kvm::win32
