#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "canvas/canvas.h"

namespace kvm::canvas {

// One recorded drawing operation per canvas call.
namespace op {
struct Clear {
  bool operator==(const Clear&) const = default;
};
struct Pen {
  int32_t width = 0;
  Rgb colour;
  bool operator==(const Pen&) const = default;
};
struct MoveTo {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const MoveTo&) const = default;
};
struct LineTo {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const LineTo&) const = default;
};
struct Font {
  LogicalFont font;
  bool operator==(const Font&) const = default;
};
struct Select {
  FontSelection which = FontSelection::Created;
  bool operator==(const Select&) const = default;
};
struct Align {
  uint32_t flags = 0;
  bool operator==(const Align&) const = default;
};
struct TextColor {
  Rgb colour;
  bool operator==(const TextColor&) const = default;
};
struct TextOut {
  int32_t x = 0;
  int32_t y = 0;
  std::string ansiBytes;
  bool operator==(const TextOut&) const = default;
};
struct Print {
  double x = 0.0;
  double y = 0.0;
  std::u16string text;
  PrintFont font;
  bool operator==(const Print&) const = default;
};
struct Refresh {
  bool operator==(const Refresh&) const = default;
};
struct DeleteFont {
  bool operator==(const DeleteFont&) const = default;
};
}  // namespace op

using CanvasOp =
    std::variant<op::Clear, op::Pen, op::MoveTo, op::LineTo, op::Font, op::Select, op::Align,
                 op::TextColor, op::TextOut, op::Print, op::Refresh, op::DeleteFont>;

// A canvas that keeps what is drawn on it as a list of operations: what tests check, what a
// host script dumps, and what a real canvas replays. A clear starts the list afresh, since
// nothing drawn before it is left in the image.
class RecordingCanvas final : public Canvas {
 public:
  void clear() override;
  void pen(int32_t width, Rgb colour) override;
  void moveTo(int32_t x, int32_t y) override;
  void lineTo(int32_t x, int32_t y) override;
  void createFont(const LogicalFont& font) override;
  void selectFont(FontSelection which) override;
  void setTextAlign(uint32_t flags) override;
  void setTextColor(Rgb colour) override;
  void textOut(int32_t x, int32_t y, std::string_view ansiBytes) override;
  void print(double x, double y, std::u16string_view text, const PrintFont& font) override;
  void refresh() override;
  void deleteFont() override;

  [[nodiscard]] const std::vector<CanvasOp>& ops() const noexcept { return ops_; }

 private:
  std::vector<CanvasOp> ops_;
};

// Plays recorded operations onto another canvas, in order.
void replay(const std::vector<CanvasOp>& ops, Canvas& canvas);

}  // namespace kvm::canvas
