#include "platform/win32/player/control_actions.h"

#include "platform/win32/windows_headers.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "platform/script/action_check.h"
#include "platform/script/script_stop.h"
#include "platform/win32/player/window_messages.h"
#include "ui/list_box.h"

namespace kvm::win32 {

namespace {

using nlohmann::json;
using script::ScriptStop;

// The keys of actions travel as the model's codes, which are Windows' own.
static_assert(vk::kUp == VK_UP && vk::kDown == VK_DOWN && vk::kLeft == VK_LEFT &&
              vk::kRight == VK_RIGHT && vk::kHome == VK_HOME && vk::kEnd == VK_END &&
              vk::kPageUp == VK_PRIOR && vk::kPageDown == VK_NEXT && vk::kEnter == VK_RETURN &&
              vk::kEscape == VK_ESCAPE);

constexpr int kWheelNotch = 120;
// Where a click on a list's row lands: on the check box, or on the row's text.
constexpr int kCheckBoxX = 5;
constexpr int kRowTextX = 30;

bool usable(const json& state) {
  return state.value("visible", false) && state.value("enabled", false);
}

LPARAM at(int x, int y) {
  return MAKELPARAM(x, y);
}

void click(HWND window, int x, int y) {
  post(window, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
  post(window, WM_LBUTTONUP, 0, at(x, y));
}

// The grid's rows below its header are the list view's items.
// The user scrolls the row into view first.
POINT gridRowCentre(HWND grid, int row) {
  SendMessageW(grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row - 1), FALSE);
  RECT item{};
  item.left = LVIR_BOUNDS;
  SendMessageW(grid, LVM_GETITEMRECT, static_cast<WPARAM>(row - 1),
               reinterpret_cast<LPARAM>(&item));  // NOLINT: the record travels as a number
  RECT client{};
  GetClientRect(grid, &client);
  return {(std::max(item.left, client.left) + std::min(item.right, client.right)) / 2,
          (item.top + item.bottom) / 2};
}

void putOnClipboard(const std::u16string& text, HWND owner) {
  for (int attempt = 0; OpenClipboard(owner) == FALSE; ++attempt) {
    if (attempt == 50) {
      throw ScriptStop("the clipboard cannot be opened");
    }
    Sleep(kPollMilliseconds);
  }
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool placed = false;
  if (memory != nullptr) {
    if (void* target = GlobalLock(memory); target != nullptr) {
      std::memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!placed) {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
  if (!placed) {
    throw ScriptStop("the text cannot be put on the clipboard");
  }
}

// Replaces the box's whole text in one change, caret at the end. An edit box's text is set,
// not pasted: a one-line box keeps only the first line of what is pasted, where the model's
// box keeps a line break. A combo box tells its dialog only of typing and pasting into its
// edit box, so there the text is pasted over the selection, as a user does.
void type(HWND window, bool combo, const std::u16string& text, HWND clipboardOwner) {
  if (!combo) {
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(window, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(text.c_str()),  // NOLINT: the text's address
                            SMTO_NORMAL, kAnswerMilliseconds, &ignored) == 0) {
      throw ScriptStop("the text box did not take its text");
    }
    const auto end = static_cast<WPARAM>(text.size());
    post(window, EM_SETSEL, end, static_cast<LPARAM>(end));
    return;
  }
  post(window, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  if (text.empty()) {
    post(window, WM_CLEAR);
    return;
  }
  putOnClipboard(text, clipboardOwner);
  post(window, WM_PASTE);
}

// The mouse on a list: the wheel, the scroll bar, the left button at a pixel row, the right
// button up.
void actOnList(HWND window, const std::string& verb, const script::ActionArgs& args) {
  if (verb == "wheel") {
    RECT place{};
    GetWindowRect(window, &place);
    post(window, WM_MOUSEWHEEL, MAKEWPARAM(0, args.number(2) * kWheelNotch),
         at((place.left + place.right) / 2, (place.top + place.bottom) / 2));
  } else if (verb == "scroll") {
    post(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, args.number(2)), 0);
  } else if (verb == "mousedown") {
    click(window, kRowTextX, args.number(2));
  } else {
    post(window, WM_RBUTTONUP, 0, at(kRowTextX, 1));
  }
}

}  // namespace

void actOnControl(const script::ActionArgs& args, const std::string& name, const std::string& form,
                  const json& state, HWND clipboardOwner) {
  const std::string verb = args.verb();
  const std::string kind = state.value("$kind", "");
  script::checkControlKind(verb, kind, name, form);
  HWND window = windowIn(state);
  if (verb == "key") {
    const int key = script::keyCode(args.text(2));
    if (usable(state)) {
      post(window, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    }
  } else if (verb == "select" || verb == "check") {
    const int row = args.number(2);
    const int top = state.at("top").get<int>();
    const auto& items = state.at("items");
    script::checkListRow(
        verb, name, row,
        {static_cast<int32_t>(items.size()), top, state.at("$visibleRows").get<int>(),
         !items.empty() && items[0].contains("checked")});
    if (usable(state)) {
      const int height = state.at("$rowHeight").get<int>();
      click(window, verb == "check" ? kCheckBoxX : kRowTextX, (row - top) * height + height / 2);
    }
  } else if (verb == "grid") {
    const int row = args.number(2);
    script::checkGridRow(name, row, static_cast<int32_t>(state.at("rows").size()));
    if (usable(state)) {
      const POINT centre = gridRowCentre(window, row);
      click(window, centre.x, centre.y);
    }
  } else if (verb == "click" && kind == "menu") {
    // A menu item has no window of its own: it is picked from its open menu.
    throw ScriptStop(name + " cannot be clicked");
  } else if (!usable(state)) {
    return;
  } else if (verb == "click") {
    post(window, BM_CLICK);
  } else if (verb == "text") {
    type(window, kind == "combo", fromUtf8(args.text(2)), clipboardOwner);
  } else if (verb == "dblclick") {
    const POINT place =
        kind == "grid" ? gridRowCentre(window, state.at("row").get<int>()) : POINT{kRowTextX, 1};
    post(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at(place.x, place.y));
  } else {
    actOnList(window, verb, args);
  }
}

}  // namespace kvm::win32
