#include "platform/win32/player/window_player.h"

#include "platform/win32/windows_headers.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/script/action_args.h"
#include "platform/script/action_check.h"
#include "platform/script/json_lines_sink.h"
#include "platform/script/script_stop.h"
#include "platform/win32/handles.h"
#include "platform/win32/player/control_actions.h"
#include "platform/win32/player/host_window.h"
#include "platform/win32/player/menu_pick.h"
#include "platform/win32/player/message_box_reader.h"
#include "platform/win32/player/window_messages.h"
#include "platform/win32/player/window_state.h"

namespace kvm::win32 {

namespace {

using nlohmann::json;
using script::ActionArgs;
using script::ScriptStop;

}  // namespace

class WindowPlayer::Impl {
 public:
  Impl(const InProcessServer& server, std::ostream& events)
      : server_(server),
        sink_(events),
        thread_(GetCurrentThreadId()),
        done_(created(u"the player's event",
                      [&] { return CreateEventW(nullptr, TRUE, FALSE, nullptr); })) {
    // Without a screen a script still runs as long as nothing is shown.
    try {
      host_.emplace();
    } catch (const RuntimeError& error) {
      noScreen_ = toUtf8(error.description());
    }
  }
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
        [this] {
          // Asked before anything is shown (the DLL's desktop asks for a message box too).
          if (!host_) {
            stop("the call shows a dialog or message box, but " + noScreen_);
          }
          return reinterpret_cast<std::intptr_t>(host_->handle());
        }};
  }

  void beginCall(const json& actions, script::AnswerQueue& queue, std::size_t line) {
    actions_ = actions.is_array() ? actions : json::array();
    next_ = 0;
    answers_ = &queue;
    line_ = line;
    if (!host_) {
      return;  // nothing can be shown: there is nothing to play on
    }
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
    if (player_) {
      SetEvent(done_.get());
      const DWORD waited = WaitForSingleObject(player_.get(), kAnswerMilliseconds);
      player_.reset();
      if (waited != WAIT_OBJECT_0) {
        throw ScriptStop("the player did not finish after the call returned");
      }
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
    const std::uint64_t mark = host_->postMark();
    const DWORD start = GetTickCount();
    const std::array<HANDLE, 2> signals{done_.get(), host_->markEvent()};
    for (;;) {
      if (WaitForSingleObject(done_.get(), 0) == WAIT_OBJECT_0) {
        return false;
      }
      if (host_->reached(mark)) {
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
    HWND menu = openMenu(thread_);
    if (verb == "menu") {
      if (menu == nullptr) {
        throw ScriptStop("no context menu is open for " + action.dump());
      }
      const std::u16string caption = fromUtf8(control(args.text(1)).value("caption", ""));
      pickMenuItem(menu, caption, [this] { return settled(); });
      return;
    }
    if (menu != nullptr) {
      post(menu, WM_KEYDOWN, VK_ESCAPE, 1);
      if (!settled()) {
        throw ScriptStop("the call returned while a context menu closed");
      }
    }
    if (verb == "close") {
      post(windowIn(top), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (verb == "tick") {
      for (const auto& state : top.at("controls")) {
        if (state.value("$kind", "") == "timer" && state.contains("$id")) {
          post(windowIn(top), WM_TIMER, state.at("$id").get<WPARAM>(), 0);
        }
      }
    } else {
      script::checkControlVerb(verb);
      const std::string name = args.text(1);
      actOnControl(args, name, form, control(name), host_->handle());
    }
  }

  const InProcessServer& server_;
  script::JsonLinesSink sink_;
  DWORD thread_;
  UniqueKernelHandle done_;
  std::optional<HostWindow> host_;  // none without a screen
  std::string noScreen_;
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
