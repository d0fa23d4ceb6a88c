#include "platform/win32/player/window_messages.h"

#include <cstdint>

#include "platform/script/script_stop.h"

namespace kvm::win32 {

HWND windowIn(const nlohmann::json& state) {
  const auto found = state.find("$window");
  if (found == state.end() || !found->is_number_unsigned()) {
    return nullptr;
  }
  return reinterpret_cast<HWND>(found->get<std::uintptr_t>());  // NOLINT: a handle as a number
}

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr || PostMessageW(window, message, wParam, lParam) == FALSE) {
    throw script::ScriptStop("a message cannot be posted to the dialog's window");
  }
}

}  // namespace kvm::win32
