#include "platform/win32/ui/control_binding.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/bstr.h"
#include "platform/win32/ui/gdi_replay.h"
#include "ui/check_box.h"
#include "ui/grid.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/option_group.h"
#include "ui/picture_box.h"
#include "ui/text_box.h"
#include "ui/timer.h"

namespace kvm::win32 {

namespace {

constexpr const wchar_t* kPictureClass = L"KavelmorPicture";
constexpr int kTwipsPerPixel = 15;
constexpr int kCheckBoxSide = 13;
constexpr int kLineHeight = 15;
// A combo box's window includes its drop-down list.
constexpr int kDropDownHeight = 160;

HMENU childId(int id) {
  return reinterpret_cast<HMENU>(
      static_cast<INT_PTR>(id));  // NOLINT: a child's id travels as a menu
}

HWND makeChild(const wchar_t* windowClass, const std::u16string& text, DWORD style, DWORD exStyle,
               const Control& control, const BindingContext& context, int extraHeight = 0) {
  HWND window = CreateWindowExW(exStyle, windowClass, wide(text),
                                style | WS_CHILD | WS_CLIPSIBLINGS, control.left(), control.top(),
                                control.width(), control.height() + extraHeight, context.parent,
                                childId(context.id), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(context.font), FALSE);  // NOLINT
  return window;
}

std::u16string windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);  // NOLINT: UTF-16
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

COLORREF colorRef(Color colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

// The state every windowed control shares: place, visibility, enabled.
class WindowBinding : public ControlBinding {
 public:
  WindowBinding(Control& control, HWND window) : control_(control), window_(window) {}
  ~WindowBinding() override { DestroyWindow(window_); }
  WindowBinding(const WindowBinding&) = delete;
  WindowBinding& operator=(const WindowBinding&) = delete;
  WindowBinding(WindowBinding&&) = delete;
  WindowBinding& operator=(WindowBinding&&) = delete;

  [[nodiscard]] HWND window() const noexcept override { return window_; }

  void sync() override {
    const int band = bandAbove();
    const RECT place{control_.left(), control_.top() + band,
                     std::max(control_.width(), minimumWidth()),
                     std::max(control_.height() - band, minimumHeight())};
    if (place.left != place_.left || place.top != place_.top || place.right != place_.right ||
        place.bottom != place_.bottom) {
      place_ = place;
      SetWindowPos(window_, nullptr, place.left, place.top, place.right,
                   place.bottom + extraHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((IsWindowVisible(window_) != FALSE) != control_.visible()) {
      ShowWindow(window_, control_.visible() ? SW_SHOWNA : SW_HIDE);
    }
    if ((IsWindowEnabled(window_) != FALSE) != control_.enabled()) {
      EnableWindow(window_, control_.enabled() ? TRUE : FALSE);
    }
  }

 protected:
  [[nodiscard]] virtual int extraHeight() const noexcept { return 0; }
  [[nodiscard]] virtual int minimumHeight() const noexcept { return 0; }
  [[nodiscard]] virtual int minimumWidth() const { return 0; }
  // Pixels at the top of the control's area that the dialog draws instead of the window.
  [[nodiscard]] virtual int bandAbove() const { return 0; }

 private:
  Control& control_;
  HWND window_;
  RECT place_{-1, -1, -1, -1};
};

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
    HDC dc = GetDC(window());
    HGDIOBJ before = SelectObject(dc, font_);
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide(label_.caption()), static_cast<int>(label_.caption().size()),
                          &extent);
    SelectObject(dc, before);
    ReleaseDC(window(), dc);
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
    HGDIOBJ before = SelectObject(dc, font_);
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
    SelectObject(dc, before);
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

class ButtonBinding final : public WindowBinding {
 public:
  ButtonBinding(Button& button, const BindingContext& context)
      : WindowBinding(button,
                      makeChild(L"BUTTON", button.caption(),
                                (context.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
                                0, button, context)),
        button_(button),
        caption_(button.caption()) {}

  void sync() override {
    WindowBinding::sync();
    if (button_.caption() != caption_) {
      caption_ = button_.caption();
      SetWindowTextW(window(), wide(caption_));
    }
  }
  bool command(WORD code) override {
    if (code != BN_CLICKED) {
      return false;
    }
    button_.userClick();
    return true;
  }

 private:
  Button& button_;
  std::u16string caption_;
};

// Edit boxes and combo boxes: the text and the selection. What the window shows is only
// overwritten where the model changed since it was last shown, so typing keeps its caret.
class TextBinding final : public WindowBinding {
 public:
  TextBinding(TextBox& box, HWND window, HWND edit, bool combo)
      : WindowBinding(box, window), box_(box), edit_(edit), combo_(combo) {}

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
      const auto end = static_cast<LPARAM>(selStart_ + selLength_);
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
    SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item)));  // NOLINT
  }
  SetWindowTextW(window, wide(box.text()));
  return std::make_unique<TextBinding>(box, window,
                                       FindWindowExW(window, nullptr, L"EDIT", nullptr), true);
}

class CheckBinding final : public WindowBinding {
 public:
  CheckBinding(CheckBox& box, const BindingContext& context)
      : WindowBinding(box,
                      makeChild(L"BUTTON", box.caption(), BS_3STATE | WS_TABSTOP, 0, box, context)),
        box_(box) {}

  void sync() override {
    WindowBinding::sync();
    SendMessageW(window(), BM_SETCHECK, static_cast<WPARAM>(box_.value()), 0);
  }
  bool command(WORD code) override {
    if (code != BN_CLICKED) {
      return false;
    }
    box_.userClick();
    return true;
  }

 private:
  CheckBox& box_;
};

class OptionBinding final : public WindowBinding {
 public:
  OptionBinding(OptionButton& button, const BindingContext& context)
      : WindowBinding(button, makeChild(L"BUTTON", button.caption(), BS_RADIOBUTTON | WS_TABSTOP, 0,
                                        button, context)),
        button_(button) {}

  void sync() override {
    WindowBinding::sync();
    SendMessageW(window(), BM_SETCHECK, button_.value() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool command(WORD code) override {
    if (code != BN_CLICKED) {
      return false;
    }
    button_.userClick();
    return true;
  }

 private:
  OptionButton& button_;
};

bool sameItems(const std::vector<ListItem>& a, const std::vector<ListItem>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const ListItem& x, const ListItem& y) {
                      return x.text == y.text && x.checked == y.checked;
                    });
}

// A list box drawn by its owner, whose messages from the user go to the model (and through it
// to the window procedure the dialog installed); the window only shows the model's rows,
// selection and top row.
class ListBinding final : public WindowBinding {
 public:
  ListBinding(ListBox& list, const BindingContext& context)
      : WindowBinding(list, makeChild(L"LISTBOX", u"",
                                      LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                          LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                                      WS_EX_CLIENTEDGE, list, context)),
        list_(list),
        afterEvent_(context.afterEvent) {
    SetWindowLongPtrW(window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));  // NOLINT
    ownProcedure_ = reinterpret_cast<WNDPROC>(  // NOLINT: the procedure travels as a number
        SetWindowLongPtrW(window(), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(&procedure)));  // NOLINT
  }
  ~ListBinding() override {
    SetWindowLongPtrW(window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ownProcedure_));  // NOLINT
  }
  ListBinding(const ListBinding&) = delete;
  ListBinding& operator=(const ListBinding&) = delete;
  ListBinding(ListBinding&&) = delete;
  ListBinding& operator=(ListBinding&&) = delete;

  void sync() override {
    WindowBinding::sync();
    if (list_.rowHeight() != rowHeight_) {
      rowHeight_ = list_.rowHeight();
      SendMessageW(window(), LB_SETITEMHEIGHT, 0, rowHeight_);
    }
    if (!sameItems(list_.items(), items_)) {
      items_ = list_.items();
      SendMessageW(window(), WM_SETREDRAW, FALSE, 0);
      SendMessageW(window(), LB_RESETCONTENT, 0, 0);
      for (const ListItem& item : items_) {
        SendMessageW(window(), LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wide(item.text)));  // NOLINT
      }
      SendMessageW(window(), WM_SETREDRAW, TRUE, 0);
      InvalidateRect(window(), nullptr, TRUE);
    }
    if (SendMessageW(window(), LB_GETCURSEL, 0, 0) != list_.listIndex()) {
      SendMessageW(window(), LB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
    }
    if (SendMessageW(window(), LB_GETTOPINDEX, 0, 0) != list_.topIndex()) {
      SendMessageW(window(), LB_SETTOPINDEX, static_cast<WPARAM>(list_.topIndex()), 0);
    }
  }

  bool drawItem(const DRAWITEMSTRUCT& item) override {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= items_.size()) {
      return true;
    }
    const ListItem& row = items_[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT text = item.rcItem;
    if (list_.hasCheckBoxes()) {
      const int top = text.top + (text.bottom - text.top - kCheckBoxSide) / 2;
      RECT box{text.left + 1, top, text.left + 1 + kCheckBoxSide, top + kCheckBoxSide};
      DrawFrameControl(item.hDC, &box, DFC_BUTTON,
                       DFCS_BUTTONCHECK | DFCS_FLAT | (row.checked ? DFCS_CHECKED : 0U));
      text.left = box.right + 3;
    } else {
      text.left += 2;
    }
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(item.hDC, wide(row.text), static_cast<int>(row.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0) {
      DrawFocusRect(item.hDC, &item.rcItem);
    }
    return true;
  }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self =
        reinterpret_cast<ListBinding*>(GetWindowLongPtrW(window, GWLP_USERDATA));  // NOLINT
    if (self != nullptr && self->take(message, wParam, lParam)) {
      if (self->afterEvent_) {
        self->afterEvent_();
      }
      return 0;
    }
    return CallWindowProcW(self != nullptr ? self->ownProcedure_ : DefWindowProcW, window, message,
                           wParam, lParam);
  }

  // The user's messages the model handles; true when the window's own procedure must not.
  bool take(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_KEYDOWN: list_.userKey(static_cast<int32_t>(wParam)); return true;
      case WM_MOUSEWHEEL:
        list_.userWheel(GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
        return true;
      case WM_LBUTTONDOWN: {
        SetFocus(window());
        const int32_t y = GET_Y_LPARAM(lParam);
        const int32_t row = list_.topIndex() + y / std::max(list_.rowHeight(), 1);
        if (list_.hasCheckBoxes() && GET_X_LPARAM(lParam) < kCheckBoxSide + 2 &&
            row < list_.listCount()) {
          list_.userCheck(row);
        } else {
          list_.userMouseDown(y);
        }
        return true;
      }
      case WM_LBUTTONUP: return true;
      case WM_LBUTTONDBLCLK: list_.userDblClick(); return true;
      case WM_RBUTTONUP: list_.userRightButtonUp(); return true;
      case WM_VSCROLL: {
        CallWindowProcW(ownProcedure_, window(), message, wParam, lParam);
        const auto top = static_cast<int32_t>(SendMessageW(window(), LB_GETTOPINDEX, 0, 0));
        if (top != list_.topIndex()) {
          list_.userScroll(top);
        }
        return true;
      }
      default: return false;
    }
  }

  ListBox& list_;
  std::function<void()> afterEvent_;
  WNDPROC ownProcedure_ = nullptr;
  std::vector<ListItem> items_;
  int32_t rowHeight_ = 0;
};

// The grid as a report-style list view: its first row the header, one item per further row.
class GridBinding final : public WindowBinding {
 public:
  GridBinding(Grid& grid, const BindingContext& context)
      : WindowBinding(grid, makeChild(WC_LISTVIEWW, u"",
                                      LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                          LVS_NOCOLUMNHEADER | WS_TABSTOP,
                                      WS_EX_CLIENTEDGE, grid, context)),
        grid_(grid),
        dialog_(context.parent),
        font_(context.font) {
    ListView_SetExtendedListViewStyle(window(), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  }

  void sync() override {
    if (grid_.cells() != cells_ || widths() != widths_) {
      rebuild();
      const RECT area{grid_.left(), grid_.top(), grid_.left() + grid_.width(),
                      grid_.top() + grid_.height()};
      InvalidateRect(dialog_, &area, TRUE);
    }
    WindowBinding::sync();
    const int current = grid_.row() - 1;
    if (current >= 0 && ListView_GetNextItem(window(), -1, LVNI_SELECTED) != current) {
      const ScopedQuiet quiet(quiet_);
      ListView_SetItemState(window(), current, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(window(), current, FALSE);
    }
  }
  bool notify(const NMHDR& header) override {
    if (header.code == LVN_ITEMCHANGED && !quiet_) {
      const auto& change =
          reinterpret_cast<const NMLISTVIEW&>(header);  // NOLINT: the notification's own record
      if ((change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0 &&
          change.iItem + 1 != grid_.row()) {
        grid_.userSelectRow(change.iItem + 1);
      }
      return true;
    }
    if (header.code == NM_DBLCLK) {
      grid_.userDblClick();
      return true;
    }
    return false;
  }

  // The header row, drawn by the dialog above the list: its captions keep their line breaks.
  void paint(HDC dc) override {
    if (!grid_.visible() || cells_.empty()) {
      return;
    }
    HGDIOBJ before = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int band = bandAbove();
    int left = grid_.left();
    const int right = grid_.left() + grid_.width();
    for (std::size_t col = 0; col < widths_.size() && left < right; ++col) {
      RECT cell{left, grid_.top(), std::min(left + widths_[col] / kTwipsPerPixel, right),
                grid_.top() + band};
      FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, &cell, EDGE_RAISED, BF_RECT);
      std::u16string caption = cells_[0][col];
      std::erase(caption, u'\r');
      RECT measured = cell;
      DrawTextW(dc, wide(caption), static_cast<int>(caption.size()), &measured,
                DT_CALCRECT | DT_CENTER | DT_NOPREFIX);
      RECT text = cell;
      text.top += (band - (measured.bottom - measured.top)) / 2;
      DrawTextW(dc, wide(caption), static_cast<int>(caption.size()), &text,
                DT_CENTER | DT_NOPREFIX);
      left = cell.right;
    }
    SelectObject(dc, before);
  }

 private:
  static constexpr int kHeaderPadding = 6;

  [[nodiscard]] int bandAbove() const override {
    if (cells_.empty()) {
      return 0;
    }
    std::ptrdiff_t lines = 1;
    for (const std::u16string& caption : cells_[0]) {
      lines = std::max(lines, 1 + std::count(caption.begin(), caption.end(), u'\n'));
    }
    return static_cast<int>(lines) * kLineHeight + kHeaderPadding;
  }

  struct ScopedQuiet {
    explicit ScopedQuiet(bool& flag) : flag_(flag) { flag_ = true; }
    ScopedQuiet(const ScopedQuiet&) = delete;
    ScopedQuiet& operator=(const ScopedQuiet&) = delete;
    ScopedQuiet(ScopedQuiet&&) = delete;
    ScopedQuiet& operator=(ScopedQuiet&&) = delete;
    ~ScopedQuiet() { flag_ = false; }
    bool& flag_;
  };

  [[nodiscard]] std::vector<int32_t> widths() const {
    std::vector<int32_t> result;
    for (int32_t col = 0; col < grid_.cols(); ++col) {
      result.push_back(grid_.colWidth(col));
    }
    return result;
  }

  void rebuild() {
    const ScopedQuiet quiet(quiet_);
    cells_ = grid_.cells();
    widths_ = widths();
    ListView_DeleteAllItems(window());
    while (ListView_DeleteColumn(window(), 0) != FALSE) {
    }
    for (std::size_t col = 0; col < widths_.size(); ++col) {
      std::u16string caption = cells_.empty() ? std::u16string() : cells_[0][col];
      std::replace(caption.begin(), caption.end(), u'\n', u' ');
      std::erase(caption, u'\r');
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = widths_[col] / kTwipsPerPixel;
      column.pszText = const_cast<wchar_t*>(wide(caption));  // NOLINT: the call only reads it
      SendMessageW(window(), LVM_INSERTCOLUMNW, col,
                   reinterpret_cast<LPARAM>(&column));  // NOLINT: the message's record
    }
    for (std::size_t row = 1; row < cells_.size(); ++row) {
      for (std::size_t col = 0; col < cells_[row].size(); ++col) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row - 1);
        item.iSubItem = static_cast<int>(col);
        item.pszText = const_cast<wchar_t*>(wide(cells_[row][col]));  // NOLINT: only read
        SendMessageW(window(), col == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0,
                     reinterpret_cast<LPARAM>(&item));  // NOLINT: the message's record
      }
    }
  }

  Grid& grid_;
  HWND dialog_;
  HFONT font_;
  std::vector<std::vector<std::u16string>> cells_;
  std::vector<int32_t> widths_;
  bool quiet_ = false;
};

// A picture box: a window that replays the recorded drawing through a back buffer.
class PictureBinding final : public WindowBinding {
 public:
  PictureBinding(PictureBox& picture, const BindingContext& context)
      : WindowBinding(picture, makeChild(kPictureClass, u"", WS_CLIPCHILDREN, 0, picture, context)),
        picture_(picture) {
    SetWindowLongPtrW(window(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));  // NOLINT
  }

  void sync() override {
    WindowBinding::sync();
    if (picture_.ops() != ops_) {
      ops_ = picture_.ops();
      InvalidateRect(window(), nullptr, FALSE);
    }
  }

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self =
        reinterpret_cast<PictureBinding*>(GetWindowLongPtrW(window, GWLP_USERDATA));  // NOLINT
    switch (message) {
      case WM_PAINT:
        if (self != nullptr) {
          self->paintWindow();
          return 0;
        }
        break;
      case WM_ERASEBKGND: return 1;
      case WM_CTLCOLORSTATIC:
        // Labels inside the picture ask their parent; the dialog knows their colours.
        return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
      default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

 private:
  void paintWindow() {
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(window(), &paint);
    RECT client{};
    GetClientRect(window(), &client);
    const SIZE area{client.right, client.bottom};
    HDC buffer = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.cx, area.cy);
    HGDIOBJ before = SelectObject(buffer, bitmap);
    replayCanvas(buffer, area, ops_);
    BitBlt(screen, 0, 0, area.cx, area.cy, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, before);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    EndPaint(window(), &paint);
  }

  PictureBox& picture_;
  std::vector<preview::CanvasOp> ops_;
};

// A timer of the dialog: a window timer while the model's is enabled.
class TimerBinding final : public ControlBinding {
 public:
  TimerBinding(Timer& timer, const BindingContext& context)
      : timer_(timer), owner_(context.parent), id_(static_cast<UINT_PTR>(context.id)) {}
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
    if (running_) {
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
  bool running_ = false;
};

template <typename Kind>
Kind* as(Control& control) {
  return dynamic_cast<Kind*>(&control);
}

}  // namespace

void registerPictureClass() {
  WNDCLASSEXW picture{};
  picture.cbSize = sizeof(picture);
  picture.lpfnWndProc = &PictureBinding::procedure;
  picture.hInstance = GetModuleHandleW(nullptr);
  picture.hCursor =
      LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // NOLINT: the system's resource id
  picture.lpszClassName = kPictureClass;
  RegisterClassExW(&picture);  // fails harmlessly when already registered
}

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
    return std::make_unique<ListBinding>(*list, context);
  }
  if (auto* grid = as<Grid>(control)) {
    return std::make_unique<GridBinding>(*grid, context);
  }
  if (auto* picture = as<PictureBox>(control)) {
    return std::make_unique<PictureBinding>(*picture, context);
  }
  if (auto* timer = as<Timer>(control)) {
    return std::make_unique<TimerBinding>(*timer, context);
  }
  return nullptr;  // menus open as pop-ups; option arrays are their buttons
}

}  // namespace kvm::win32
