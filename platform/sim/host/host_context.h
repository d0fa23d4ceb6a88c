#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/script/event_sink.h"

namespace kvm::sim {

// What every object of one simulated host shares: where its events go, the drawing's named
// tables and the record of the host commands called so far.
struct HostContext {
  explicit HostContext(script::EventSink& sink) : events(sink) {}

  script::EventSink& events;
  std::vector<std::u16string> layers{u"0", u"BJ-清单"};
  std::vector<std::u16string> styles{u"Standard", u"HZTXT"};
  nlohmann::json commandCalls = nlohmann::json::array();
};

// The table's own spelling of a name (compared without regard to ASCII case), or nullopt.
std::optional<std::u16string> findTableName(const std::vector<std::u16string>& table,
                                            std::u16string_view name);

}  // namespace kvm::sim
