#pragma once

#include "model/flashing.h"

namespace kvm::bench {

// The largest database a user plausibly keeps: 26 libraries of 26 flashings, each with a
// 50-segment profile, 19 dimension marks and 10 text marks.
constexpr int kFullLibraries = 26;
constexpr int kFullFlashings = 26;

Flashing fullFlashing(int number);
LibraryTable fullTable();

}  // namespace kvm::bench
