#include "shop/shop_layout.h"

#include "shop/page_writer.h"

namespace kvm::shop {

ShopPages layoutShopBook(const ShopBook& book, const TextMeasure& measure) {
  ShopPages result;
  result.pages = layoutCover(book, measure);
  result.coverPages = result.pages.size();
  result.pages.reserve(result.pages.size() + book.flashings.size());
  for (const FlashingSheet& sheet : book.flashings) {
    result.pages.push_back(layoutFlashingPage(book, sheet, measure));
  }
  for (const CoilOrder& order : book.coil) {
    std::vector<Page> coil = layoutCoilPages(book, order, measure);
    result.coilPages += coil.size();
    for (Page& page : coil) result.pages.push_back(std::move(page));
  }
  const std::string count = std::to_string(result.pages.size());
  for (std::size_t i = 0; i < result.pages.size(); ++i) {
    Page& page = result.pages[i];
    PageWriter writer(page, measure);
    writer.textRight(std::to_string(i + 1) + " / " + count, page.width - 28, page.height - 14, 8);
  }
  return result;
}

}  // namespace kvm::shop
