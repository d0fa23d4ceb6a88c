#pragma once

#include <vector>

#include <nlohmann/json.hpp>

#include "platform/script/event_sink.h"

namespace kvm::sim {

// Keeps every event for the test to look at.
class RecordingSink : public script::EventSink {
 public:
  void emit(nlohmann::json event) override { events.push_back(std::move(event)); }

  std::vector<nlohmann::json> events;
};

}  // namespace kvm::sim
