#include "platform/cairo/shop/shop_pdf.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "files/staged_file.h"
#include "platform/cairo/cairo_canvas.h"
#include "platform/cairo/staged_stream.h"
#include "shop/page_writer.h"

namespace kvm::cairo {

namespace {

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

// The glyphs of several texts with the text they came from, so that the PDF still says
// which characters it shows.
struct TextRun {
  std::string utf8;
  std::vector<cairo_glyph_t> glyphs;
  std::vector<cairo_text_cluster_t> clusters;

  void show(cairo_t* cr) const {
    cairo_show_text_glyphs(cr, utf8.data(), static_cast<int>(utf8.size()), glyphs.data(),
                           static_cast<int>(glyphs.size()), clusters.data(),
                           static_cast<int>(clusters.size()), cairo_text_cluster_flags_t{});
  }
};

void drawPage(cairo_t* cr, const shop::Page& page, CurrentFont& font,
              const CairoTextMeasure& measure) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // Rects of one style in a row go out as one path, as lines do below: the coil pages draw
  // tens of thousands of strips. Strokes then follow all fills of the run, so an edge two
  // strips share is never half covered by the later fill.
  for (std::size_t first = 0; first < page.rects.size();) {
    const shop::DrawnRect& style = page.rects[first];
    std::size_t last = first;
    while (last < page.rects.size() && page.rects[last].fillGrey == style.fillGrey &&
           page.rects[last].strokeWidth == style.strokeWidth) {
      const shop::DrawnRect& rect = page.rects[last];
      cairo_rectangle(cr, rect.corner.x, rect.corner.y, rect.width, rect.height);
      ++last;
    }
    cairo_set_source_rgb(cr, style.fillGrey, style.fillGrey, style.fillGrey);
    if (style.strokeWidth > 0) {
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_set_line_width(cr, style.strokeWidth);
      cairo_stroke(cr);
    } else {
      cairo_fill(cr);
    }
    first = last;
  }
  // Lines of one pen go out as one path: a stroke a line made the writing several times
  // slower, each stroke being an operation of its own for cairo and in the PDF.
  for (std::size_t first = 0; first < page.lines.size();) {
    const shop::DrawnLine& pen = page.lines[first];
    std::size_t last = first;
    while (last < page.lines.size() && page.lines[last].width == pen.width &&
           page.lines[last].grey == pen.grey) {
      const shop::DrawnLine& line = page.lines[last];
      // A line going on from where the last one ended continues its path: arcs and profiles
      // are drawn as chains, and every point repeated is two more numbers to write.
      if (last == first || line.from.x != page.lines[last - 1].to.x ||
          line.from.y != page.lines[last - 1].to.y) {
        cairo_move_to(cr, line.from.x, line.from.y);
      }
      cairo_line_to(cr, line.to.x, line.to.y);
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
  // Level texts of one face and size go out in one call: each call is an operation that the
  // PDF surface records, replays and writes with its own matrix, and a page holds hundreds.
  // Texts never overlap, so the order among them does not show.
  std::map<std::pair<double, bool>, TextRun> runs;
  for (const shop::DrawnText& text : page.texts) {
    if (text.angle == 0) {
      TextRun& run = runs[{text.size, text.bold}];
      run.utf8 += text.text;
      measure.appendGlyphs(text.text, text.size, text.bold, text.origin, run.glyphs, run.clusters);
      continue;
    }
    font.use(cr, text.size, text.bold);
    cairo_save(cr);
    cairo_translate(cr, text.origin.x, text.origin.y);
    cairo_rotate(cr, text.angle);
    cairo_move_to(cr, 0, 0);
    cairo_show_text(cr, text.text.c_str());
    cairo_restore(cr);
  }
  for (const auto& [face, run] : runs) {
    font.use(cr, face.first, face.second);
    run.show(cr);
  }
}

}  // namespace

void drawShopPages(cairo_t* context, cairo_surface_t* surface, const std::vector<shop::Page>& pages,
                   const CairoTextMeasure& measure) {
  CurrentFont font;
  for (const shop::Page& page : pages) {
    cairo_pdf_surface_set_size(surface, page.width, page.height);
    drawPage(context, page, font, measure);
    cairo_show_page(context);
  }
}

void writeShopPdf(const std::filesystem::path& file, const shop::ShopBook& book) {
  const CairoTextMeasure measure;
  const shop::ShopPages laidOut = shop::layoutShopBook(book, measure);
  const shop::Point paper = shop::paperSize(book.paper);

  // A drawing that throws or fails leaves the staged file to be removed, the old one in place.
  files::StagedFile staged(file);
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  {
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
        cairo_pdf_surface_create_for_stream(writeToStagedFile, &staged, paper.x, paper.y),
        cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> context(cairo_create(surface.get()),
                                                         cairo_destroy);
    unhinted(context.get());
    drawShopPages(context.get(), surface.get(), laidOut.pages, measure);
    status = cairo_status(context.get());
    context.reset();
    cairo_surface_finish(surface.get());
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface.get());
  }
  if (status != CAIRO_STATUS_SUCCESS) {
    staged.flush();  // a failure of the disk says so itself
    fail(file, cairo_status_to_string(status));
  }
  staged.commit();
}

}  // namespace kvm::cairo
