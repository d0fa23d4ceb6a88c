#include "canvas/recording_canvas.h"

#include <type_traits>

namespace kvm::canvas {

void RecordingCanvas::clear() {
  ops_.clear();
  ops_.emplace_back(op::Clear{});
}

void RecordingCanvas::pen(int32_t width, Rgb colour) {
  ops_.emplace_back(op::Pen{width, colour});
}

void RecordingCanvas::moveTo(int32_t x, int32_t y) {
  ops_.emplace_back(op::MoveTo{x, y});
}

void RecordingCanvas::lineTo(int32_t x, int32_t y) {
  ops_.emplace_back(op::LineTo{x, y});
}

void RecordingCanvas::createFont(const LogicalFont& font) {
  ops_.emplace_back(op::Font{font});
}

void RecordingCanvas::selectFont(FontSelection which) {
  ops_.emplace_back(op::Select{which});
}

void RecordingCanvas::setTextAlign(uint32_t flags) {
  ops_.emplace_back(op::Align{flags});
}

void RecordingCanvas::setTextColor(Rgb colour) {
  ops_.emplace_back(op::TextColor{colour});
}

void RecordingCanvas::textOut(int32_t x, int32_t y, std::string_view ansiBytes) {
  ops_.emplace_back(op::TextOut{x, y, std::string(ansiBytes)});
}

void RecordingCanvas::print(double x, double y, std::u16string_view text, const PrintFont& font) {
  ops_.emplace_back(op::Print{x, y, std::u16string(text), font});
}

void RecordingCanvas::refresh() {
  ops_.emplace_back(op::Refresh{});
}

void RecordingCanvas::deleteFont() {
  ops_.emplace_back(op::DeleteFont{});
}

void replay(const std::vector<CanvasOp>& ops, Canvas& canvas) {
  for (const CanvasOp& each : ops) {
    std::visit(
        [&canvas](const auto& o) {
          using T = std::decay_t<decltype(o)>;
          if constexpr (std::is_same_v<T, op::Clear>) {
            canvas.clear();
          } else if constexpr (std::is_same_v<T, op::Pen>) {
            canvas.pen(o.width, o.colour);
          } else if constexpr (std::is_same_v<T, op::MoveTo>) {
            canvas.moveTo(o.x, o.y);
          } else if constexpr (std::is_same_v<T, op::LineTo>) {
            canvas.lineTo(o.x, o.y);
          } else if constexpr (std::is_same_v<T, op::Font>) {
            canvas.createFont(o.font);
          } else if constexpr (std::is_same_v<T, op::Select>) {
            canvas.selectFont(o.which);
          } else if constexpr (std::is_same_v<T, op::Align>) {
            canvas.setTextAlign(o.flags);
          } else if constexpr (std::is_same_v<T, op::TextColor>) {
            canvas.setTextColor(o.colour);
          } else if constexpr (std::is_same_v<T, op::TextOut>) {
            canvas.textOut(o.x, o.y, o.ansiBytes);
          } else if constexpr (std::is_same_v<T, op::Print>) {
            canvas.print(o.x, o.y, o.text, o.font);
          } else if constexpr (std::is_same_v<T, op::Refresh>) {
            canvas.refresh();
          } else {
            static_assert(std::is_same_v<T, op::DeleteFont>);
            canvas.deleteFont();
          }
        },
        each);
  }
}

}  // namespace kvm::canvas
