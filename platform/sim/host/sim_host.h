#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "dispatch/dispatch.h"
#include "platform/script/event_sink.h"
#include "ui/ui.h"

namespace kvm::sim {

struct HostState;
class ModelSpace;

// The simulated CAD host of a script session: its object model, reached through
// application(), and what the desktop around it answers (Shift key, window list, date,
// screen).
class SimHost {
 public:
  explicit SimHost(script::EventSink& events);
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;
  SimHost(SimHost&&) = delete;
  SimHost& operator=(SimHost&&) = delete;
  ~SimHost();

  // Applies the keys of a host step; keys left out keep their values. Throws
  // std::invalid_argument, naming the key, for an unknown key or a malformed value.
  void configure(const nlohmann::json& hostConfig);

  [[nodiscard]] DispatchPtr application() const { return application_; }

  [[nodiscard]] bool shiftDown() const { return shift_; }
  // The configured windows are the ones that follow the host's main window.
  [[nodiscard]] bool topLevelWindowAfter(std::intptr_t afterWindow,
                                         std::u16string_view title) const;
  [[nodiscard]] std::optional<CalendarDate> today() const { return today_; }
  [[nodiscard]] int screenWidth() const { return screenWidth_; }
  [[nodiscard]] int screenHeight() const { return screenHeight_; }

  // The "modelspace", "sysvars", "lisp" and "host" dumps (of the active document).
  [[nodiscard]] nlohmann::json dumpModelSpace() const;
  [[nodiscard]] nlohmann::json dumpSysvars() const;
  [[nodiscard]] nlohmann::json dumpLisp() const;
  [[nodiscard]] nlohmann::json dumpHost() const;

  // The active document's model space; null when no document is open.
  [[nodiscard]] std::shared_ptr<ModelSpace> activeModelSpace() const;

 private:
  void configureDocuments(const nlohmann::json& names);
  void configureSysvars(const nlohmann::json& values);
  void configureScreen(const nlohmann::json& screen);

  std::shared_ptr<HostState> state_;
  DispatchPtr application_;
  std::vector<std::u16string> windows_;
  bool shift_ = false;
  std::optional<CalendarDate> today_;
  int screenWidth_ = 1920;
  int screenHeight_ = 1080;
};

}  // namespace kvm::sim
