#pragma once

#include <cairo.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>

#include "shop/page.h"
#include "shop/shop_book.h"
#include "shop/shop_layout.h"

namespace kvm::cairo {

// Measures texts in the face the shop drawings embed, without hinting, as the PDF sets them.
class CairoTextMeasure final : public shop::TextMeasure {
 public:
  CairoTextMeasure();
  [[nodiscard]] shop::TextMetrics measure(const std::string& text, double size,
                                          bool bold) const override;

 private:
  struct SurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
  };
  struct ContextFree {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
  };
  std::unique_ptr<cairo_surface_t, SurfaceFree> surface_;
  std::unique_ptr<cairo_t, ContextFree> context_;
  // The layout measures the same texts again and again while it fits them.
  struct Key {
    std::string text;
    double size = 0;
    bool bold = false;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const noexcept {
      return std::hash<std::string>{}(key.text) ^ (std::hash<double>{}(key.size) * 31U) ^
             (key.bold ? 0x9e3779b9U : 0U);
    }
  };
  mutable std::unordered_map<Key, shop::TextMetrics, KeyHash> cache_;
};

// Sets the face and size a text is drawn in, as the measure does.
void selectShopFont(cairo_t* context, double size, bool bold);

// Draws laid-out pages into a PDF stream.
void drawShopPages(cairo_t* context, cairo_surface_t* surface,
                   const std::vector<shop::Page>& pages);

// shop.pdf: the cover, one page per flashing and the coil pages, on the book's paper, fonts
// embedded. Written beside the file first and moved into place, so that a failed write leaves
// no half a file. Throws std::runtime_error naming the file and the system's reason.
void writeShopPdf(const std::filesystem::path& file, const shop::ShopBook& book);

}  // namespace kvm::cairo
