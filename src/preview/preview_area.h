#pragma once

#include <string>

#include "canvas/canvas.h"
#include "canvas/recording_canvas.h"

namespace kvm::preview {

// The sizes of the headless dialog: the area `Pic` inside its border, the template `lbXing`.
inline constexpr double kAreaWidth = 342.0;
inline constexpr double kAreaHeight = 180.0;
inline constexpr double kMarkTemplateSize = 24.0;

// The hidden label `lbXing` whose box places a marker star: where it stands and its font.
struct MarkTemplate {
  double left = 0.0;
  double top = 0.0;
  double width = kMarkTemplateSize;
  double height = kMarkTemplateSize;
  std::u16string face = u"宋体";
  double size = 18.0;  // points

  bool operator==(const MarkTemplate&) const = default;
};

// What the preview draws on: the picture box `Pic` with its inner size in pixels, the mark
// template inside it and the scale labels `lbBiLi`, `lbSc` that take the scale colour.
class PreviewArea {
 public:
  PreviewArea() = default;
  PreviewArea(const PreviewArea&) = delete;
  PreviewArea& operator=(const PreviewArea&) = delete;
  PreviewArea(PreviewArea&&) = delete;
  PreviewArea& operator=(PreviewArea&&) = delete;
  virtual ~PreviewArea() = default;

  virtual canvas::Canvas& canvas() = 0;
  [[nodiscard]] virtual double innerWidth() const = 0;
  [[nodiscard]] virtual double innerHeight() const = 0;
  [[nodiscard]] virtual MarkTemplate markTemplate() const = 0;
  virtual void moveMarkTemplate(double left, double top) = 0;
  virtual void setScaleLabelColor(canvas::Rgb colour) = 0;
};

// The area on its own, with the headless sizes and a recording canvas: for the command line
// and for tests.
class RecordingPreviewArea final : public PreviewArea {
 public:
  explicit RecordingPreviewArea(double width = kAreaWidth, double height = kAreaHeight)
      : width_(width), height_(height) {}

  canvas::Canvas& canvas() override { return canvas_; }
  [[nodiscard]] double innerWidth() const override { return width_; }
  [[nodiscard]] double innerHeight() const override { return height_; }
  [[nodiscard]] MarkTemplate markTemplate() const override { return mark_; }
  void moveMarkTemplate(double left, double top) override {
    mark_.left = left;
    mark_.top = top;
  }
  void setScaleLabelColor(canvas::Rgb colour) override { scaleLabelColor_ = colour; }

  [[nodiscard]] const canvas::RecordingCanvas& recording() const noexcept { return canvas_; }
  [[nodiscard]] canvas::Rgb scaleLabelColor() const noexcept { return scaleLabelColor_; }

 private:
  double width_;
  double height_;
  canvas::RecordingCanvas canvas_;
  MarkTemplate mark_;
  canvas::Rgb scaleLabelColor_ = canvas::kWhite;
};

}  // namespace kvm::preview
