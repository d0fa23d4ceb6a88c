#include "platform/win32/player/window_player.h"

#include "platform/win32/windows_headers.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>

#include "base/text.h"
#include "platform/script/action_args.h"
#include "platform/script/json_lines_sink.h"
#include "platform/script/script_stop.h"
#include "platform/win32/bstr.h"
#include "platform/win32/handles.h"
#include "platform/win32/player/host_window.h"
#include "platform/win32/player/message_box_reader.h"
#include "platform/win32/player/window_state.h"
#include "platform/win32/player/window_text.h"

namespace kvm::win32 {

namespace {

using nlohmann::json;
using script::ActionArgs;
using script::ScriptStop;

// However long a step of the component may take, its windows answer well within this.
constexpr DWORD kAnswerMilliseconds = 60'000;
constexpr DWORD kPollMilliseconds = 20;
constexpr int kWheelNotch = 120;
// Where a click on a list's row lands: on the check box, or on the row's text.
constexpr int kCheckBoxX = 5;
constexpr int kRowTextX = 30;

int keyCode(const std::string& name) {
  static const std::map<std::string, int> kKeys{
      {"Up", VK_UP},        {"Down", VK_DOWN},    {"Left", VK_LEFT},    {"Right", VK_RIGHT},
      {"Home", VK_HOME},    {"End", VK_END},      {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT},
      {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}};
  const auto found = kKeys.find(name);
  if (found == kKeys.end()) {
    throw ScriptStop("unknown key " + name);
  }
  return found->second;
}

HWND handleIn(const json& state) {
  const auto found = state.find("$window");
  if (found == state.end() || !found->is_number_unsigned()) {
    return nullptr;
  }
  return reinterpret_cast<HWND>(found->get<std::uintptr_t>());  // NOLINT: a handle as a number
}

bool usable(const json& state) {
  return state.value("visible", false) && state.value("enabled", false);
}

LPARAM at(int x, int y) {
  return MAKELPARAM(x, y);
}

void post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  if (window == nullptr || PostMessageW(window, message, wParam, lParam) == FALSE) {
    throw ScriptStop("a message cannot be posted to the dialog's window");
  }
}

void click(HWND window, int x, int y) {
  post(window, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
  post(window, WM_LBUTTONUP, 0, at(x, y));
}

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

}  // namespace

class WindowPlayer::Impl {
 public:
  Impl(const InProcessServer& server, std::ostream& events)
      : server_(server),
        sink_(events),
        thread_(GetCurrentThreadId()),
        done_(created(u"the player's event",
                      [&] { return CreateEventW(nullptr, TRUE, FALSE, nullptr); })) {}
  ~Impl() {
    if (player_) {
      SetEvent(done_.get());
      WaitForSingleObject(player_.get(), kAnswerMilliseconds);
    }
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  Impl(Impl&&) = delete;
  Impl& operator=(Impl&&) = delete;

  DialogReports reports() {
    return {
        [this](std::u16string_view kind, std::u16string_view form, std::u16string_view caption) {
          if (kind == u"shown") {
            sink_.emit({{"shown", toUtf8(form)}, {"caption", toUtf8(caption)}, {"modal", true}});
          } else {
            sink_.emit({{toUtf8(kind), toUtf8(form)}});
          }
        },
        [this] { return reinterpret_cast<std::intptr_t>(host_.handle()); }};  // NOLINT
  }

  void beginCall(const json& actions, script::AnswerQueue& queue, std::size_t line) {
    actions_ = actions.is_array() ? actions : json::array();
    next_ = 0;
    answers_ = &queue;
    line_ = line;
    ResetEvent(done_.get());
    SetLastError(ERROR_SUCCESS);
    HANDLE thread = CreateThread(nullptr, 0, &Impl::playerMain, this, 0, nullptr);
    if (thread == nullptr) {
      throw ScriptStop("the player's thread cannot start: " +
                       toUtf8(systemMessage(GetLastError())));
    }
    player_.reset(thread);
  }

  void endCall() {
    SetEvent(done_.get());
    const DWORD waited = WaitForSingleObject(player_.get(), kAnswerMilliseconds);
    player_.reset();
    if (waited != WAIT_OBJECT_0) {
      throw ScriptStop("the player did not finish after the call returned");
    }
    const auto left = actions_.size() - next_;
    actions_ = json::array();
    next_ = 0;
    if (left > 0) {
      throw ScriptStop("the call returned with " + std::to_string(left) +
                       " user action(s) not played");
    }
  }

  json dump(const std::string& what) { return readWindows(dllDump(fromUtf8(what))); }

 private:
  static DWORD WINAPI playerMain(LPVOID self) {
    static_cast<Impl*>(self)->play();
    return 0;
  }

  void play() {
    try {
      DWORD idleSince = GetTickCount();
      while (settled()) {
        if (const auto box = findMessageBox(thread_)) {
          answer(*box);
          idleSince = GetTickCount();
          continue;
        }
        const json top = dllDumpOrNull(u"top");
        if (top.is_null()) {
          // A message loop of the call's own with nothing to play on: wait for more, but not
          // for ever, or a window the player cannot see would hang the run.
          if (GetTickCount() - idleSince > kAnswerMilliseconds) {
            throw ScriptStop("the call waited " + std::to_string(kAnswerMilliseconds / 1000) +
                             " seconds with no dialog or message box to play on");
          }
          if (WaitForSingleObject(done_.get(), kPollMilliseconds) == WAIT_OBJECT_0) {
            return;
          }
          continue;
        }
        idleSince = GetTickCount();
        const std::string form = top.at("form").get<std::string>();
        if (next_ >= actions_.size()) {
          throw ScriptStop("the call's actions ran out while " + form + " is shown modally");
        }
        act(actions_[next_++], form, top.at("value"));
      }
    } catch (const std::exception& error) {
      stop(error.what());
    }
  }

  // Waits until the runner's thread is back in a message loop, or the call has returned
  // (false).
  bool settled() {
    const std::uint64_t mark = host_.postMark();
    const DWORD start = GetTickCount();
    const std::array<HANDLE, 2> signals{done_.get(), host_.markEvent()};
    for (;;) {
      if (WaitForSingleObject(done_.get(), 0) == WAIT_OBJECT_0) {
        return false;
      }
      if (host_.reached(mark)) {
        return true;
      }
      if (GetTickCount() - start > kAnswerMilliseconds) {
        throw ScriptStop("the component's windows did not answer within " +
                         std::to_string(kAnswerMilliseconds / 1000) + " seconds");
      }
      WaitForMultipleObjects(static_cast<DWORD>(signals.size()), signals.data(), FALSE,
                             kPollMilliseconds);
    }
  }

  [[noreturn]] void stop(const std::string& reason) {
    sink_.emit({{"error", "line " + std::to_string(line_) + ": " + reason}});
    ExitProcess(2);
  }

  json dllDump(const std::u16string& what) const {
    const std::string text = server_.testDump(what);
    if (text.starts_with("!")) {
      throw std::invalid_argument(text.substr(1));
    }
    return json::parse(text);
  }

  json dllDumpOrNull(const std::u16string& what) const {
    try {
      return dllDump(what);
    } catch (const std::invalid_argument&) {
      return nullptr;
    }
  }

  json control(const std::string& name) const {
    try {
      return dllDump(u"control:" + fromUtf8(name));
    } catch (const std::invalid_argument& error) {
      throw ScriptStop(error.what());
    }
  }

  void answer(const ShownMessageBox& box) {
    const std::string word = answers_->answer(toUtf8(box.text), box.buttons);
    // A box without a title of its own shows the application's name.
    const json title = box.title == u"Kavelmor" ? json(nullptr) : json(toUtf8(box.title));
    sink_.emit({{"msgbox",
                 {{"text", toUtf8(box.text)},
                  {"title", title},
                  {"icon", box.icon},
                  {"buttons", box.buttons},
                  {"answer", word}}}});
    if (!pressMessageBoxButton(box, word)) {
      throw ScriptStop("the message box has no button for " + word);
    }
  }

  [[nodiscard]] HWND openMenu() const {
    HWND menu = nullptr;
    EnumThreadWindows(thread_, &collectMenu, reinterpret_cast<LPARAM>(&menu));  // NOLINT
    return menu;
  }

  struct MenuPlace {
    int lit = -1;     // the lit item's position, -1 for none
    int target = -1;  // the position of the item with the caption, -1 for none
    int count = 0;
  };

  static MenuPlace placeIn(HWND menu, const std::u16string& caption) {
    constexpr UINT kGetMenu = 0x01E1;                                           // MN_GETHMENU
    auto* items = reinterpret_cast<HMENU>(SendMessageW(menu, kGetMenu, 0, 0));  // NOLINT
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

  // Picks the item with the menu's caption by keys, as the user may: Up or Down, one at a
  // time, until the item is lit (the menu decides which items the keys pass over), then Enter.
  void pick(HWND menu, const std::string& itemName) {
    const std::u16string caption = fromUtf8(control(itemName).value("caption", ""));
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
        throw ScriptStop("the call returned while a context menu was open");
      }
      place = placeIn(menu, caption);
    }
    post(menu, WM_KEYDOWN, VK_ESCAPE, 1);  // the item cannot be reached: nothing is picked
  }

  void act(const json& action, const std::string& form, const json& top) {
    const ActionArgs args(action);
    const std::string verb = args.verb();
    if (verb == "answer") {
      answers_->push(args.text(1));
      return;
    }
    if (verb == "dump") {
      if (args.at(1).is_null()) {
        sink_.emit({{"dump", "form:" + form}, {"value", readWindows(top)}});
      } else {
        const auto name = args.text(1);
        sink_.emit({{"dump", name}, {"value", readWindows(control(name))}});
      }
      return;
    }
    // Anything the user does other than picking from it closes an open context menu.
    HWND menu = openMenu();
    if (verb == "menu") {
      if (menu == nullptr) {
        throw ScriptStop("no context menu is open for " + action.dump());
      }
      pick(menu, args.text(1));
      return;
    }
    if (menu != nullptr) {
      post(menu, WM_KEYDOWN, VK_ESCAPE, 1);
      if (!settled()) {
        throw ScriptStop("the call returned while a context menu closed");
      }
    }
    if (verb == "close") {
      post(handleIn(top), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (verb == "tick") {
      for (const auto& state : top.at("controls")) {
        if (state.value("$kind", "") == "timer" && state.contains("$id")) {
          post(handleIn(top), WM_TIMER, state.at("$id").get<WPARAM>(), 0);
        }
      }
    } else {
      actOnControl(args, verb, form);
    }
  }

  void actOnControl(const ActionArgs& args, const std::string& verb, const std::string& form) {
    const std::string name = args.text(1);
    const json state = control(name);
    const std::string kind = state.value("$kind", "");
    HWND window = handleIn(state);
    const auto require = [&](bool ok, const char* what) {
      if (!ok) {
        throw ScriptStop(name + " of " + form + " is not " + what);
      }
    };
    if (verb == "click") {
      if (kind != "button" && kind != "check" && kind != "option") {
        throw ScriptStop(name + " cannot be clicked");
      }
      if (usable(state)) {
        post(window, BM_CLICK);
      }
    } else if (verb == "select" || verb == "check") {
      require(kind == "list", "a list");
      const int row = args.number(2);
      const auto& items = state.at("items");
      const int top = state.at("top").get<int>();
      if (row < 0 || static_cast<std::size_t>(row) >= items.size()) {
        throw ScriptStop(name + " has no row " + std::to_string(row));
      }
      if (row < top || row >= top + state.at("$visibleRows").get<int>()) {
        throw ScriptStop("row " + std::to_string(row) + " of " + name +
                         " is not visible; scroll the list first");
      }
      if (verb == "check" && !items[0].contains("checked")) {
        throw ScriptStop(name + " has no check boxes");
      }
      if (usable(state)) {
        const int height = state.at("$rowHeight").get<int>();
        click(window, verb == "check" ? kCheckBoxX : kRowTextX, (row - top) * height + height / 2);
      }
    } else if (verb == "text") {
      require(kind == "text" || kind == "combo", "a text box");
      if (usable(state)) {
        type(window, kind == "combo", fromUtf8(args.text(2)));
      }
    } else if (verb == "key") {
      const int key = keyCode(args.text(2));
      if (usable(state)) {
        post(window, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
      }
    } else if (verb == "dblclick") {
      if (kind == "list") {
        if (usable(state)) {
          post(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at(kRowTextX, 1));
        }
      } else if (kind == "grid") {
        if (usable(state)) {
          const POINT centre = gridRowCentre(window, state.at("row").get<int>());
          post(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at(centre.x, centre.y));
        }
      } else {
        throw ScriptStop(name + " cannot be double-clicked");
      }
    } else if (verb == "grid") {
      require(kind == "grid", "a grid");
      const int row = args.number(2);
      if (row < 0 || static_cast<std::size_t>(row) >= state.at("rows").size()) {
        throw ScriptStop(name + " has no row " + std::to_string(row));
      }
      if (usable(state)) {
        const POINT centre = gridRowCentre(window, row);
        click(window, centre.x, centre.y);
      }
    } else if (verb == "wheel" || verb == "scroll" || verb == "mousedown" || verb == "rclick") {
      require(kind == "list", "a list");
      if (!usable(state)) {
        return;
      }
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
    } else {
      throw ScriptStop("unknown action " + verb);
    }
  }

  // The grid's rows below its header are the list view's items.
  // The user scrolls the row into view first.
  static POINT gridRowCentre(HWND grid, int row) {
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

  // Replaces the box's whole text in one change, caret at the end. An edit box's text is set,
  // not pasted: a one-line box keeps only the first line of what is pasted, where the model's
  // box keeps a line break. A combo box tells its dialog only of typing and pasting into its
  // edit box, so there the text is pasted over the selection, as a user does.
  void type(HWND window, bool combo, const std::u16string& text) {
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
    putOnClipboard(text);
    post(window, WM_PASTE);
  }

  void putOnClipboard(const std::u16string& text) const {
    for (int attempt = 0; OpenClipboard(host_.handle()) == FALSE; ++attempt) {
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

  const InProcessServer& server_;
  script::JsonLinesSink sink_;
  HostWindow host_;
  DWORD thread_;
  UniqueKernelHandle done_;
  UniqueKernelHandle player_;
  json actions_ = json::array();
  std::size_t next_ = 0;
  script::AnswerQueue* answers_ = nullptr;
  std::size_t line_ = 0;
};

WindowPlayer::WindowPlayer(const InProcessServer& server, std::ostream& events)
    : impl_(std::make_unique<Impl>(server, events)) {}

WindowPlayer::~WindowPlayer() = default;

DialogReports WindowPlayer::reports() {
  return impl_->reports();
}

void WindowPlayer::beginCall(const nlohmann::json& actions, script::AnswerQueue& answers,
                             std::size_t line) {
  impl_->beginCall(actions, answers, line);
}

void WindowPlayer::endCall() {
  impl_->endCall();
}

nlohmann::json WindowPlayer::dump(const std::string& what) {
  return impl_->dump(what);
}

}  // namespace kvm::win32
