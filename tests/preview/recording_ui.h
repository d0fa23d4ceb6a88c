#pragma once

#include <string>
#include <vector>

#include "ui/ui.h"

namespace kvm::preview::testing {

// A desktop that answers every box with OK and keeps what the boxes said.
class RecordingUi final : public Ui {
 public:
  struct Box {
    std::u16string text;
    MsgIcon icon = MsgIcon::None;
    bool titled = false;
  };

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons /*buttons*/) override {
    boxes.push_back(Box{std::u16string(text), icon, title.has_value()});
    return MsgAnswer::Ok;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t /*afterWindow*/, std::u16string_view /*title*/) override {
    return false;
  }
  CalendarDate today() override { return {}; }

  std::vector<Box> boxes;
};

}  // namespace kvm::preview::testing
