#include "platform/win32/player/window_state.h"

#include "platform/win32/windows_headers.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "platform/win32/bstr.h"
#include "platform/win32/player/window_messages.h"
#include "platform/win32/player/window_text.h"

namespace kvm::win32 {

namespace {

using nlohmann::json;

std::string text(HWND window) {
  return toUtf8(textOfWindow(window));
}

std::u16string listRow(HWND list, int row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length < 0) {
    return {};
  }
  std::u16string row16(static_cast<std::size_t>(length) + 1, u'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(row16.data()));  // NOLINT: the buffer travels as a number
  row16.resize(static_cast<std::size_t>(length));
  return row16;
}

std::u16string gridCell(HWND grid, int row, int column) {
  std::vector<wchar_t> buffer(1024, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessageW(grid, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));  // NOLINT: the record travels as a number
  return fromWide(buffer.data());
}

void readSelection(HWND window, UINT message, json& state) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(window, message, reinterpret_cast<WPARAM>(&start),  // NOLINT: out-parameters
               reinterpret_cast<LPARAM>(&end));
  state["selStart"] = start;
  state["selLength"] = end - start;
}

void readControl(json& state) {
  HWND window = windowIn(state);
  const std::string kind = state.value("$kind", "");
  if (window != nullptr) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    state["visible"] = (style & WS_VISIBLE) != 0;
    state["enabled"] = (style & WS_DISABLED) == 0;
    if (kind == "text") {
      state["text"] = text(window);
      readSelection(window, EM_GETSEL, state);
    } else if (kind == "combo") {
      state["text"] = text(window);
      DWORD selection = static_cast<DWORD>(SendMessageW(window, CB_GETEDITSEL, 0, 0));
      state["selStart"] = LOWORD(selection);
      state["selLength"] = HIWORD(selection) - LOWORD(selection);
    } else if (kind == "label" || kind == "button") {
      state["caption"] = text(window);
    } else if (kind == "check") {
      state["value"] = static_cast<int>(SendMessageW(window, BM_GETCHECK, 0, 0));
      state["caption"] = text(window);
    } else if (kind == "option") {
      state["value"] = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
      state["caption"] = text(window);
    } else if (kind == "list") {
      auto& items = state["items"];
      const auto count = static_cast<int>(SendMessageW(window, LB_GETCOUNT, 0, 0));
      json rows = json::array();
      for (int row = 0; row < count; ++row) {
        json item{{"text", toUtf8(listRow(window, row))}};
        // The check marks are drawn by the list's owner from the model.
        if (items.is_array() && static_cast<std::size_t>(row) < items.size() &&
            items[static_cast<std::size_t>(row)].contains("checked")) {
          item["checked"] = items[static_cast<std::size_t>(row)]["checked"];
        }
        rows.push_back(std::move(item));
      }
      items = std::move(rows);
      state["selected"] = static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0));
      state["top"] = static_cast<int>(SendMessageW(window, LB_GETTOPINDEX, 0, 0));
    } else if (kind == "grid") {
      // The header row is drawn by the dialog; the rest are the list view's rows.
      auto& rows = state["rows"];
      const auto count = static_cast<int>(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0));
      const std::size_t columns = rows.empty() ? 0 : rows[0].size();
      json read = json::array();
      if (!rows.empty()) {
        read.push_back(rows[0]);
      }
      for (int row = 0; row < count; ++row) {
        json cells = json::array();
        for (std::size_t column = 0; column < columns; ++column) {
          cells.push_back(toUtf8(gridCell(window, row, static_cast<int>(column))));
        }
        read.push_back(std::move(cells));
      }
      rows = std::move(read);
    }
  }
  for (auto it = state.begin(); it != state.end();) {
    it = it.key().starts_with("$") ? state.erase(it) : std::next(it);
  }
}

}  // namespace

json readWindows(const json& dump) {
  json out = dump;
  if (out.is_object() && out.contains("controls")) {
    if (HWND window = windowIn(out); window != nullptr) {
      out["caption"] = text(window);
    }
    for (auto& state : out["controls"]) {
      readControl(state);
    }
    out.erase("$window");
  } else if (out.is_object() && out.contains("$kind")) {
    readControl(out);
  }
  return out;
}

}  // namespace kvm::win32
