#pragma once

#include <functional>

#include <nlohmann/json.hpp>

#include "platform/sim/events.h"
#include "platform/sim/ui/answer_queue.h"
#include "ui/ui.h"

namespace kvm::sim {

// What the desktop looks like to the script: the Shift key, the window list, the clock.
struct DesktopState {
  std::function<bool()> shiftDown;
  std::function<bool(std::intptr_t, std::u16string_view)> topLevelWindowAfter;
  std::function<CalendarDate()> today;
};

// The desktop of a host script: message boxes are answered from the script's answer queue and
// printed as events; the rest comes from the simulated host's configuration.
class ScriptedUi final : public Ui {
public:
  ScriptedUi(EventSink& events, AnswerQueue& answers, DesktopState desktop);

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override;
  [[nodiscard]] bool shiftDown() override;
  [[nodiscard]] bool topLevelWindowAfter(std::intptr_t afterWindow,
                                         std::u16string_view title) override;
  [[nodiscard]] CalendarDate today() override;

  // The user's part for the call that is about to run; left-over actions stop the script.
  void beginCall(const nlohmann::json& actions);
  void endCall();

private:
  EventSink& events_;
  AnswerQueue& answers_;
  DesktopState desktop_;
  nlohmann::json actions_ = nlohmann::json::array();
  std::size_t nextAction_ = 0;
};

}  // namespace kvm::sim
