// Dumps read from the windows: what a window holds replaces the model's value, the rest stays,
// and the DLL's handles and kinds are dropped.
#include <gtest/gtest.h>

#include "platform/win32/windows_headers.h"

#include <cstdint>

#include <nlohmann/json.hpp>

#include "platform/win32/player/window_state.h"

namespace kvm::win32 {
namespace {

using nlohmann::json;

class Window {
 public:
  Window(const wchar_t* windowClass, const wchar_t* text, DWORD style, HWND parent = nullptr)
      : handle_(CreateWindowExW(0, windowClass, text, style, 0, 0, 200, 100, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {}
  ~Window() { DestroyWindow(handle_); }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  Window(Window&&) = delete;
  Window& operator=(Window&&) = delete;

  [[nodiscard]] HWND get() const { return handle_; }
  [[nodiscard]] std::uintptr_t number() const {
    return reinterpret_cast<std::uintptr_t>(handle_);  // NOLINT: a handle as a number
  }

 private:
  HWND handle_;
};

TEST(WindowState, a_text_box_shows_the_windows_text_and_selection) {
  const Window dialog(L"STATIC", L"", WS_POPUP);
  const Window edit(L"EDIT", L"0.6", WS_CHILD | WS_VISIBLE, dialog.get());
  SendMessageW(edit.get(), EM_SETSEL, 1, 3);
  const json dump{
      {"text", "0.5"},   {"tag", "0.5"},    {"selStart", 0},   {"selLength", 0},
      {"visible", true}, {"enabled", true}, {"$kind", "text"}, {"$window", edit.number()},
      {"$id", 101}};
  const json read = readWindows(dump);
  EXPECT_EQ(read, (json{{"text", "0.6"},
                        {"tag", "0.5"},
                        {"selStart", 1},
                        {"selLength", 2},
                        {"visible", true},
                        {"enabled", true}}));
}

TEST(WindowState, a_list_shows_the_windows_rows_with_the_models_check_marks) {
  const Window dialog(L"STATIC", L"", WS_POPUP);
  const Window list(L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_DISABLED, dialog.get());
  for (const wchar_t* row : {L"\u5C4B\u810A\u5305\u89D2", L"b", L"c"}) {
    SendMessageW(list.get(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));  // NOLINT
  }
  SendMessageW(list.get(), LB_SETCURSEL, 2, 0);
  const json dump{{"items", json::array({{{"text", "x"}, {"checked", true}},
                                         {{"text", "y"}, {"checked", false}},
                                         {{"text", "z"}, {"checked", true}}})},
                  {"selected", 0},
                  {"top", 0},
                  {"tag", ""},
                  {"visible", true},
                  {"enabled", true},
                  {"$kind", "list"},
                  {"$window", list.number()},
                  {"$rowHeight", 15}};
  const json read = readWindows(dump);
  EXPECT_EQ(read.at("items"), json::array({{{"text", "屋脊包角"}, {"checked", true}},
                                           {{"text", "b"}, {"checked", false}},
                                           {{"text", "c"}, {"checked", true}}}));
  EXPECT_EQ(read.at("selected"), 2);
  EXPECT_EQ(read.at("enabled"), false);
  EXPECT_FALSE(read.contains("$rowHeight"));
}

TEST(WindowState, a_dialog_shows_its_windows_caption_and_keeps_windowless_controls) {
  const Window dialog(L"STATIC", L"\u8BBE\u7F6E", WS_POPUP);
  const Window check(L"BUTTON", L"\u5F00", WS_CHILD | BS_3STATE, dialog.get());
  SendMessageW(check.get(), BM_SETCHECK, BST_INDETERMINATE, 0);
  const json dump{{"caption", "old"},
                  {"focus", nullptr},
                  {"$window", dialog.number()},
                  {"controls",
                   {{"chk",
                     {{"value", 0},
                      {"caption", "x"},
                      {"visible", true},
                      {"enabled", true},
                      {"$kind", "check"},
                      {"$window", check.number()}}},
                    {"Timer1",
                     {{"interval", 1000},
                      {"tag", ""},
                      {"visible", true},
                      {"enabled", true},
                      {"$kind", "timer"},
                      {"$id", 110}}}}}};
  const json read = readWindows(dump);
  EXPECT_EQ(read.at("caption"), "设置");
  EXPECT_FALSE(read.contains("$window"));
  EXPECT_EQ(read.at("controls").at("chk"),
            (json{{"value", 2}, {"caption", "开"}, {"visible", false}, {"enabled", true}}));
  EXPECT_EQ(read.at("controls").at("Timer1"),
            (json{{"interval", 1000}, {"tag", ""}, {"visible", true}, {"enabled", true}}));
}

}  // namespace
}  // namespace kvm::win32
