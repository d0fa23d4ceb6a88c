#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas/recording_canvas.h"
#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// A picture box: a drawing area whose device context records what is drawn on it. The
// record is what the area shows (a clear starts it afresh); a real window replays it.
class PictureBox final : public Control {
 public:
  // Inner size in pixels.
  PictureBox(Form& form, std::u16string name, int32_t width, int32_t height);

  [[nodiscard]] canvas::Canvas& canvas() noexcept { return *canvas_; }
  [[nodiscard]] const std::vector<canvas::CanvasOp>& ops() const noexcept { return canvas_->ops(); }
  void clear() { canvas_->clear(); }

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 protected:
  // A freshly loaded picture box shows nothing drawn.
  void restoreOwnDesign() override { canvas_ = std::make_unique<canvas::RecordingCanvas>(); }

 private:
  std::unique_ptr<canvas::RecordingCanvas> canvas_ = std::make_unique<canvas::RecordingCanvas>();
};

}  // namespace kvm
