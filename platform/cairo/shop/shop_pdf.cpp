#include "platform/cairo/shop/shop_pdf.h"

#include <cairo-pdf.h>

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/cairo/cairo_canvas.h"
#include "shop/page_writer.h"

namespace kvm::cairo {

namespace {

struct FontOptionsFree {
  void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
};

// Metrics as laid out, not snapped to a device's pixels.
void unhinted(cairo_t* context) {
  const std::unique_ptr<cairo_font_options_t, FontOptionsFree> options(cairo_font_options_create());
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(context, options.get());
}

// Where cairo's output goes, with the first failure's reason kept.
struct Sink {
  std::ofstream* file = nullptr;
  int error = 0;

  void failed() {
    if (error == 0) error = errno != 0 ? errno : EIO;
  }
};

cairo_status_t writeBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* sink = static_cast<Sink*>(closure);
  if (sink->error != 0) return CAIRO_STATUS_WRITE_ERROR;
  errno = 0;
  sink->file->write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  if (!*sink->file) {
    sink->failed();
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& reason) {
  throw std::runtime_error(file.string() + ": cannot write" +
                           (reason.empty() ? "" : ": " + reason));
}

// The face in use, so that it is looked up only when a text asks for another.
struct CurrentFont {
  double size = 0;
  bool bold = false;

  void use(cairo_t* cr, double wantedSize, bool wantedBold) {
    if (wantedSize == size && wantedBold == bold) return;
    selectShopFont(cr, wantedSize, wantedBold);
    size = wantedSize;
    bold = wantedBold;
  }
};

void drawPage(cairo_t* cr, const shop::Page& page, CurrentFont& font) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (const shop::DrawnRect& rect : page.rects) {
    cairo_rectangle(cr, rect.corner.x, rect.corner.y, rect.width, rect.height);
    cairo_set_source_rgb(cr, rect.fillGrey, rect.fillGrey, rect.fillGrey);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, rect.strokeWidth);
    if (rect.strokeWidth > 0) {
      cairo_stroke(cr);
    } else {
      cairo_new_path(cr);
    }
  }
  // Lines of one pen go out as one path: a stroke a line made the writing several times
  // slower, each stroke being an operation of its own for cairo and in the PDF.
  for (std::size_t first = 0; first < page.lines.size();) {
    const shop::DrawnLine& pen = page.lines[first];
    std::size_t last = first;
    while (last < page.lines.size() && page.lines[last].width == pen.width &&
           page.lines[last].grey == pen.grey) {
      cairo_move_to(cr, page.lines[last].from.x, page.lines[last].from.y);
      cairo_line_to(cr, page.lines[last].to.x, page.lines[last].to.y);
      ++last;
    }
    cairo_set_source_rgb(cr, pen.grey, pen.grey, pen.grey);
    cairo_set_line_width(cr, pen.width);
    cairo_stroke(cr);
    first = last;
  }
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (const shop::DrawnShape& shape : page.shapes) {
    for (const shop::Point& p : shape.points) cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  for (const shop::DrawnText& text : page.texts) {
    font.use(cr, text.size, text.bold);
    if (text.angle == 0) {
      cairo_move_to(cr, text.origin.x, text.origin.y);
      cairo_show_text(cr, text.text.c_str());
      continue;
    }
    cairo_save(cr);
    cairo_translate(cr, text.origin.x, text.origin.y);
    cairo_rotate(cr, text.angle);
    cairo_move_to(cr, 0, 0);
    cairo_show_text(cr, text.text.c_str());
    cairo_restore(cr);
  }
}

}  // namespace

void selectShopFont(cairo_t* context, double size, bool bold) {
  cairo_select_font_face(context, kDefaultFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(context, size);
}

CairoTextMeasure::CairoTextMeasure()
    : surface_(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr)),
      context_(cairo_create(surface_.get())) {
  unhinted(context_.get());
}

shop::TextMetrics CairoTextMeasure::measure(const std::string& text, double size, bool bold) const {
  Key key{text, size, bold};
  if (const auto found = cache_.find(key); found != cache_.end()) return found->second;
  cairo_t* cr = context_.get();
  selectShopFont(cr, size, bold);
  const std::string valid = shop::validUtf8(text);
  cairo_font_extents_t font{};
  cairo_font_extents(cr, &font);
  cairo_text_extents_t extents{};
  cairo_text_extents(cr, valid.c_str(), &extents);
  // The ink may reach past the advance (a slanting last glyph); the box takes the wider.
  const double width = std::max(extents.x_advance, extents.x_bearing + extents.width);
  const shop::TextMetrics metrics{width, font.ascent, font.descent};
  cache_.emplace(std::move(key), metrics);
  return metrics;
}

void drawShopPages(cairo_t* context, cairo_surface_t* surface,
                   const std::vector<shop::Page>& pages) {
  CurrentFont font;
  for (const shop::Page& page : pages) {
    cairo_pdf_surface_set_size(surface, page.width, page.height);
    drawPage(context, page, font);
    cairo_show_page(context);
  }
}

void writeShopPdf(const std::filesystem::path& file, const shop::ShopBook& book) {
  const CairoTextMeasure measure;
  const shop::ShopPages laidOut = shop::layoutShopBook(book, measure);
  const shop::Point paper = shop::paperSize(book.paper);

  const std::filesystem::path part = file.string() + ".part";
  Sink sink;
  errno = 0;
  std::ofstream out(part, std::ios::binary | std::ios::trunc);
  if (!out) fail(file, std::generic_category().message(errno != 0 ? errno : EIO));
  sink.file = &out;
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  {
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
        cairo_pdf_surface_create_for_stream(writeBytes, &sink, paper.x, paper.y),
        cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> context(cairo_create(surface.get()),
                                                         cairo_destroy);
    unhinted(context.get());
    drawShopPages(context.get(), surface.get(), laidOut.pages);
    status = cairo_status(context.get());
    context.reset();
    cairo_surface_finish(surface.get());
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface.get());
  }
  errno = 0;
  out.close();
  if (!out) sink.failed();
  if (status != CAIRO_STATUS_SUCCESS || sink.error != 0) {
    std::error_code ignored;
    std::filesystem::remove(part, ignored);
    fail(file, sink.error != 0 ? std::generic_category().message(sink.error)
                               : cairo_status_to_string(status));
  }
  std::error_code error;
  std::filesystem::rename(part, file, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(part, ignored);
    fail(file, error.message());
  }
}

}  // namespace kvm::cairo
