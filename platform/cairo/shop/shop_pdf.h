#pragma once

#include <cairo.h>

#include <filesystem>
#include <vector>

#include "platform/cairo/shop/shop_text.h"
#include "shop/page.h"
#include "shop/shop_book.h"
#include "shop/shop_layout.h"

namespace kvm::cairo {

// Draws laid-out pages into a PDF stream.
void drawShopPages(cairo_t* context, cairo_surface_t* surface, const std::vector<shop::Page>& pages,
                   const CairoTextMeasure& measure);

// shop.pdf: the cover, one page per flashing and the coil pages, on the book's paper, fonts
// embedded. Written beside the file first and moved into place, so that a failed write leaves
// no half a file. Throws std::runtime_error naming the file and the system's reason.
void writeShopPdf(const std::filesystem::path& file, const shop::ShopBook& book);

}  // namespace kvm::cairo
