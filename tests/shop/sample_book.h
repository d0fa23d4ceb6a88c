#pragma once

#include "shop/shop_book.h"

namespace kvm::shop::testing {

// A small book made by hand: four flashings of the built-in database in two colours, with
// prices, and the coil of both colours.
ShopBook sampleBook(Paper paper = Paper::A4);

// The built-in flashing of that name.
Flashing builtinFlashing(const std::u16string& name);

}  // namespace kvm::shop::testing
