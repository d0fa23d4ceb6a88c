#pragma once

#include <ostream>

#include "platform/script/event_sink.h"

namespace kvm::script {

// Prints each event as one line of JSON, UTF-8, as it happens.
class JsonLinesSink final : public script::EventSink {
 public:
  explicit JsonLinesSink(std::ostream& out) : out_(out) {}
  void emit(nlohmann::json event) override {
    out_ << event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    out_.flush();
  }

 private:
  std::ostream& out_;
};

}  // namespace kvm::script
