#pragma once

#include <memory>
#include <ostream>

#include "platform/script/call_player.h"
#include "platform/win32/com_client.h"

namespace kvm::win32 {

// Plays host scripts on the real windows of the component's dialogs. Made on the thread that
// calls the component (its windows' thread); while a call runs, a second thread finds what
// the component shows, answers each message box from the answer queue as read from the
// screen, performs the call's `ui` actions through window messages, and prints the events
// (message boxes, dumps; the dialogs' own events come from the DLL as they happen). A script
// that cannot go on, or a window that stops answering, ends the process with status 2 and the
// reason as the last line. Without a screen, calls that show nothing still run; the first
// dialog or message box ends the run, saying that it needs a screen.
class WindowPlayer final : public script::CallPlayer {
 public:
  WindowPlayer(const InProcessServer& server, std::ostream& events);
  ~WindowPlayer() override;
  WindowPlayer(const WindowPlayer&) = delete;
  WindowPlayer& operator=(const WindowPlayer&) = delete;
  WindowPlayer(WindowPlayer&&) = delete;
  WindowPlayer& operator=(WindowPlayer&&) = delete;

  // What the DLL's desktop reports to the runner (events in order, the dialogs' owner).
  [[nodiscard]] DialogReports reports();

  void beginCall(const nlohmann::json& actions, script::AnswerQueue& answers,
                 std::size_t line) override;
  void endCall() override;
  nlohmann::json dump(const std::string& what) override;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kvm::win32
