#include "platform/win32/player/message_box_reader.h"

#include <array>
#include <utility>

#include "platform/win32/player/window_text.h"
#include "platform/win32/window_data.h"

namespace kvm::win32 {

namespace {

constexpr int kTextId = 0xFFFF;

std::u16string className(HWND window) {
  std::array<wchar_t, 64> name{};
  const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  return {reinterpret_cast<const char16_t*>(name.data()),  // NOLINT: UTF-16 both
          static_cast<std::size_t>(length > 0 ? length : 0)};
}

BOOL CALLBACK collectBox(HWND window, LPARAM found) {
  // Message boxes are the system's dialog class; the component's dialogs have one of their own.
  if (IsWindowVisible(window) != FALSE && className(window) == u"#32770") {
    *reinterpret_cast<HWND*>(found) = window;  // NOLINT: the result travels as a number
    return FALSE;
  }
  return TRUE;
}

// The icon is a static control showing one of the system's shared icons; without one the
// control is hidden.
BOOL CALLBACK collectIcon(HWND child, LPARAM found) {
  if (className(child) == u"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_ICON) != 0 &&
      IsWindowVisible(child) != FALSE) {
    *reinterpret_cast<HWND*>(found) = child;  // NOLINT: as above
    return FALSE;
  }
  return TRUE;
}

std::string iconOf(HWND box) {
  HWND iconWindow = nullptr;
  EnumChildWindows(box, &collectIcon, reinterpret_cast<LPARAM>(&iconWindow));
  if (iconWindow == nullptr) {
    return "none";
  }
  const auto shown = fromMessageValue<HICON>(SendMessageW(iconWindow, STM_GETICON, 0, 0));
  // The system's shared icons by their resource numbers: information, question, exclamation,
  // error.
  const std::array<std::pair<WORD, const char*>, 4> icons{
      {{32516, "information"}, {32514, "question"}, {32515, "exclamation"}, {32513, "critical"}}};
  for (const auto& [resource, name] : icons) {
    if (LoadIconW(nullptr, MAKEINTRESOURCEW(resource)) == shown) {  // NOLINT: a resource number
      return name;
    }
  }
  return shown == nullptr ? "none" : "unknown";
}

HWND button(HWND box, int id) {
  HWND found = GetDlgItem(box, id);
  return found != nullptr && IsWindowVisible(found) != FALSE ? found : nullptr;
}

std::string buttonsOf(HWND box) {
  const bool ok = button(box, IDOK) != nullptr;
  const bool cancel = button(box, IDCANCEL) != nullptr;
  const bool yes = button(box, IDYES) != nullptr;
  const bool no = button(box, IDNO) != nullptr;
  if (yes && no) {
    return cancel ? "yesnocancel" : "yesno";
  }
  if (ok && cancel) {
    return "okcancel";
  }
  return ok || !cancel ? "ok" : "cancel";
}

}  // namespace

std::optional<ShownMessageBox> findMessageBox(DWORD thread) {
  HWND box = nullptr;
  EnumThreadWindows(thread, &collectBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr) {
    return std::nullopt;
  }
  ShownMessageBox shown;
  shown.window = box;
  shown.title = textOfWindow(box);
  if (HWND text = GetDlgItem(box, kTextId); text != nullptr) {
    shown.text = textOfWindow(text);
  }
  shown.icon = iconOf(box);
  shown.buttons = buttonsOf(box);
  return shown;
}

bool pressMessageBoxButton(const ShownMessageBox& box, const std::string& answer) {
  const int id = answer == "ok"       ? IDOK
                 : answer == "cancel" ? IDCANCEL
                 : answer == "yes"    ? IDYES
                 : answer == "no"     ? IDNO
                                      : 0;
  HWND pressed = id == 0 ? nullptr : button(box.window, id);
  if (pressed == nullptr) {
    return false;
  }
  PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(pressed));  // NOLINT: the button travels as a number
  return true;
}

}  // namespace kvm::win32
