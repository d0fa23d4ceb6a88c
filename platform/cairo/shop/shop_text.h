#pragma once

#include <cairo.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "shop/page.h"

namespace kvm::cairo {

// Sets the face and size a text is drawn in, as the measure does.
void selectShopFont(cairo_t* context, double size, bool bold);

// Metrics as laid out, not snapped to a device's pixels.
void unhinted(cairo_t* context);

// Measures and sets texts in the face the shop drawings embed, without hinting, as the PDF
// sets them. Each character is looked up in the face once: the layout measures and the writer
// sets the same digits and names hundreds of thousands of times.
class CairoTextMeasure final : public shop::TextMeasure {
 public:
  CairoTextMeasure();
  [[nodiscard]] shop::TextMetrics measure(const std::string& text, double size,
                                          bool bold) const override;

  // Appends the glyphs of a level text whose baseline starts at origin, placed as cairo places
  // a shown text, and one cluster per character; an ill-formed part of the text is drawn as
  // U+FFFD, its cluster spanning the part's bytes.
  void appendGlyphs(std::string_view text, double size, bool bold, shop::Point origin,
                    std::vector<cairo_glyph_t>& glyphs,
                    std::vector<cairo_text_cluster_t>& clusters) const;

 private:
  struct Glyph {
    unsigned long index = 0;
    double advance = 0;
    double inkRight = 0;  // from the pen, where the glyph has ink
    bool inked = false;
  };
  struct Face {
    double size = 0;
    bool bold = false;
    double ascent = 0;
    double descent = 0;
    std::array<std::optional<Glyph>, 128> ascii;
    std::unordered_map<char32_t, Glyph> others;
  };
  Face& face(double size, bool bold) const;
  Face& findFace(double size, bool bold) const;
  const Glyph& glyph(Face& face, std::string_view character, char32_t code) const;

  struct SurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
  };
  struct ContextFree {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
  };
  std::unique_ptr<cairo_surface_t, SurfaceFree> surface_;
  std::unique_ptr<cairo_t, ContextFree> context_;
  // Few faces are in use, so a list serves; unique_ptr keeps a face in place as more come.
  mutable std::vector<std::unique_ptr<Face>> faces_;
  mutable Face* last_ = nullptr;
};

}  // namespace kvm::cairo
