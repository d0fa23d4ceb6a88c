#pragma once

#include <nlohmann/json.hpp>

namespace kvm::script {

// Where a session's events go, in the order they happen (one JSON object each).
class EventSink {
 public:
  EventSink() = default;
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;
  EventSink(EventSink&&) = delete;
  EventSink& operator=(EventSink&&) = delete;
  virtual ~EventSink() = default;

  virtual void emit(nlohmann::json event) = 0;
};

}  // namespace kvm::script
