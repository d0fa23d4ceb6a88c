#include "platform/cairo/shop/shop_text.h"

#include <algorithm>

#include "base/utf8.h"
#include "platform/cairo/cairo_canvas.h"

namespace kvm::cairo {

namespace {

struct FontOptionsFree {
  void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
};

struct GlyphsFree {
  void operator()(cairo_glyph_t* g) const { cairo_glyph_free(g); }
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The character at i as the face is asked for it: its bytes, or U+FFFD's for an ill-formed
// part, which the page writer would have replaced the same way.
struct ShownCharacter {
  std::string_view bytes;
  char32_t code = 0;
  std::size_t length = 0;  // bytes of the text taken
};

ShownCharacter characterAt(std::string_view text, std::size_t i) {
  const Utf8Character character = decodeUtf8(text, i);
  return {character.valid ? text.substr(i, character.length) : kReplacement, character.code,
          character.length};
}

}  // namespace

void selectShopFont(cairo_t* context, double size, bool bold) {
  cairo_select_font_face(context, kDefaultFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(context, size);
}

void unhinted(cairo_t* context) {
  const std::unique_ptr<cairo_font_options_t, FontOptionsFree> options(cairo_font_options_create());
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(context, options.get());
}

CairoTextMeasure::CairoTextMeasure()
    : surface_(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr)),
      context_(cairo_create(surface_.get())) {
  unhinted(context_.get());
}

CairoTextMeasure::Face& CairoTextMeasure::face(double size, bool bold) const {
  // Texts come in runs of one face: a label's measure, then its glyphs.
  if (last_ != nullptr && last_->size == size && last_->bold == bold) return *last_;
  last_ = &findFace(size, bold);
  return *last_;
}

CairoTextMeasure::Face& CairoTextMeasure::findFace(double size, bool bold) const {
  const auto found = std::find_if(faces_.begin(), faces_.end(), [size, bold](const auto& each) {
    return each->size == size && each->bold == bold;
  });
  if (found != faces_.end()) return **found;
  selectShopFont(context_.get(), size, bold);
  cairo_font_extents_t extents{};
  cairo_font_extents(context_.get(), &extents);
  auto made = std::make_unique<Face>();
  made->size = size;
  made->bold = bold;
  made->ascent = extents.ascent;
  made->descent = extents.descent;
  faces_.push_back(std::move(made));
  return *faces_.back();
}

const CairoTextMeasure::Glyph& CairoTextMeasure::glyph(Face& face, std::string_view character,
                                                       char32_t code) const {
  std::optional<Glyph>* ascii = code < face.ascii.size() ? &face.ascii.at(code) : nullptr;
  if (ascii != nullptr && ascii->has_value()) return **ascii;
  if (ascii == nullptr) {
    if (const auto found = face.others.find(code); found != face.others.end()) {
      return found->second;
    }
  }
  cairo_t* cr = context_.get();
  selectShopFont(cr, face.size, face.bold);
  cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
  cairo_glyph_t* converted = nullptr;
  int count = 0;
  Glyph result;
  if (cairo_scaled_font_text_to_glyphs(font, 0, 0, character.data(),
                                       static_cast<int>(character.size()), &converted, &count,
                                       nullptr, nullptr, nullptr) == CAIRO_STATUS_SUCCESS &&
      count == 1) {
    const std::unique_ptr<cairo_glyph_t, GlyphsFree> owned(converted);
    cairo_text_extents_t extents{};
    cairo_scaled_font_glyph_extents(font, converted, 1, &extents);
    result.index = converted->index;
    result.advance = extents.x_advance;
    // As cairo's text extents do, a glyph without ink does not widen the text.
    result.inked = extents.width != 0 && extents.height != 0;
    result.inkRight = extents.x_bearing + extents.width;
  } else {
    cairo_glyph_free(converted);
  }
  if (ascii != nullptr) return ascii->emplace(result);
  return face.others.emplace(code, result).first->second;
}

shop::TextMetrics CairoTextMeasure::measure(const std::string& text, double size, bool bold) const {
  Face& set = face(size, bold);
  double pen = 0;
  double inkRight = 0;
  for (std::size_t i = 0; i < text.size();) {
    const ShownCharacter shown = characterAt(text, i);
    const Glyph& g = glyph(set, shown.bytes, shown.code);
    if (g.inked) inkRight = std::max(inkRight, pen + g.inkRight);
    pen += g.advance;
    i += shown.length;
  }
  // The ink may reach past the advance (a slanting last glyph); the box takes the wider.
  return {std::max(pen, inkRight), set.ascent, set.descent};
}

void CairoTextMeasure::appendGlyphs(std::string_view text, double size, bool bold,
                                    shop::Point origin, std::vector<cairo_glyph_t>& glyphs,
                                    std::vector<cairo_text_cluster_t>& clusters) const {
  Face& set = face(size, bold);
  double x = origin.x;
  for (std::size_t i = 0; i < text.size();) {
    const ShownCharacter shown = characterAt(text, i);
    const Glyph& g = glyph(set, shown.bytes, shown.code);
    glyphs.push_back({g.index, x, origin.y});
    clusters.push_back({static_cast<int>(shown.length), 1});
    x += g.advance;
    i += shown.length;
  }
}

}  // namespace kvm::cairo
