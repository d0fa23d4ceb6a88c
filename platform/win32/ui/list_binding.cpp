#include "platform/win32/ui/window_binding.h"

#include <windowsx.h>

#include <string>
#include <vector>

#include "platform/win32/bstr.h"
#include "platform/win32/ui/procedure_guard.h"
#include "platform/win32/window_data.h"
#include "ui/list_box.h"

namespace kvm::win32 {

namespace {
constexpr int kCheckBoxSide = 13;

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
    attachToWindow(window(), this);
    ownProcedure_ = fromMessageValue<WNDPROC>(
        SetWindowLongPtrW(window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure)));
  }
  ~ListBinding() override {
    SetWindowLongPtrW(window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ownProcedure_));
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
        SendMessageW(window(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item.text)));
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
    // A name may end in a line break (one built-in library's does): shown on one line, the
    // break would be drawn as boxes.
    std::u16string shown = row.text;
    std::erase_if(shown, [](char16_t c) { return c < u' '; });
    DrawTextW(item.hDC, wide(shown), static_cast<int>(shown.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0) {
      DrawFocusRect(item.hDC, &item.rcItem);
    }
    return true;
  }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = attachedTo<ListBinding>(window);
    return guardProcedure([&]() -> LRESULT {
      if (self != nullptr && self->take(message, wParam, lParam)) {
        if (self->afterEvent_) {
          self->afterEvent_();
        }
        return 0;
      }
      return CallWindowProcW(self != nullptr ? self->ownProcedure_ : DefWindowProcW, window,
                             message, wParam, lParam);
    });
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

}  // namespace

std::unique_ptr<ControlBinding> bindListBox(ListBox& list, const BindingContext& context) {
  return std::make_unique<ListBinding>(list, context);
}

}  // namespace kvm::win32
