#pragma once

#include <cstddef>
#include <vector>

#include "shop/page.h"
#include "shop/shop_book.h"

namespace kvm::shop {

// The shop drawings page by page: the cover (continued on further cover pages when the
// flashings' table does not fit one at a legible size), one page per flashing, then the coil
// pages of every colour and thickness. Every page carries its number.
struct ShopPages {
  std::vector<Page> pages;
  std::size_t coverPages = 0;
  std::size_t coilPages = 0;
};

ShopPages layoutShopBook(const ShopBook& book, const TextMeasure& measure);

std::vector<Page> layoutCover(const ShopBook& book, const TextMeasure& measure);
Page layoutFlashingPage(const ShopBook& book, const FlashingSheet& sheet,
                        const TextMeasure& measure);
std::vector<Page> layoutCoilPages(const ShopBook& book, const CoilOrder& order,
                                  const TextMeasure& measure);

// Where the flashing page draws its profile, so that tests can tell drawing from furniture.
struct DrawingArea {
  Point topLeft, bottomRight;
};
DrawingArea flashingDrawingArea(Paper paper);

}  // namespace kvm::shop
