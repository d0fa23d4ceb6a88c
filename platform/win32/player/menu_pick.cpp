#include "platform/win32/player/menu_pick.h"

#include <array>

#include "base/text.h"
#include "platform/script/script_stop.h"
#include "platform/win32/bstr.h"
#include "platform/win32/player/window_messages.h"
#include "platform/win32/window_data.h"

namespace kvm::win32 {

namespace {

std::u16string className(HWND window) {
  std::array<wchar_t, 64> name{};
  const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return {reinterpret_cast<const char16_t*>(name.data()),  // NOLINT: UTF-16 both
          static_cast<std::size_t>(length > 0 ? length : 0)};
}

BOOL CALLBACK collectMenu(HWND window, LPARAM found) {
  // Pop-up menus are the system's menu class.
  if (IsWindowVisible(window) != FALSE && className(window) == u"#32768") {
    *reinterpret_cast<HWND*>(found) = window;  // NOLINT: the result travels as a number
    return FALSE;
  }
  return TRUE;
}

struct MenuPlace {
  int lit = -1;     // the lit item's position, -1 for none
  int target = -1;  // the position of the item with the caption, -1 for none
  int count = 0;
};

MenuPlace placeIn(HWND menu, const std::u16string& caption) {
  constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU
  auto* items = fromMessageValue<HMENU>(SendMessageW(menu, kGetMenu, 0, 0));
  MenuPlace place;
  place.count = items == nullptr ? 0 : GetMenuItemCount(items);
  for (int position = 0; position < place.count; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    std::array<wchar_t, 256> text{};
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    GetMenuItemInfoW(items, static_cast<UINT>(position), TRUE, &info);
    if ((info.fType & MFT_SEPARATOR) != 0) {
      continue;
    }
    if ((info.fState & MFS_HILITE) != 0) {
      place.lit = position;
    }
    if (place.target < 0 && fromWide(text.data()) == caption) {
      place.target = position;
    }
  }
  return place;
}

}  // namespace

HWND openMenu(DWORD thread) {
  HWND menu = nullptr;
  EnumThreadWindows(thread, &collectMenu, reinterpret_cast<LPARAM>(&menu));
  return menu;
}

void pickMenuItem(HWND menu, const std::u16string& caption, const std::function<bool()>& settled) {
  // The menu decides which items the keys pass over.
  MenuPlace place = placeIn(menu, caption);
  for (int moves = 0; place.target >= 0 && moves <= 2 * place.count; ++moves) {
    if (place.lit == place.target) {
      // The menu carries out its item on the character Enter makes; a key-down would make
      // that character only behind whatever was posted after it.
      post(menu, WM_CHAR, '\r', 1);
      return;
    }
    post(menu, WM_KEYDOWN, place.lit > place.target ? VK_UP : VK_DOWN, 1);
    if (!settled()) {
      throw script::ScriptStop("the call returned while a context menu was open");
    }
    place = placeIn(menu, caption);
  }
  post(menu, WM_KEYDOWN, VK_ESCAPE, 1);  // the item cannot be reached: nothing is picked
}

}  // namespace kvm::win32
