#pragma once

#include <vector>

#include "coil/coil_instance.h"
#include "coil/sheet_rounding.h"

namespace kvm::coil {

// A plan built rows first: each width's pieces end to end into rows no longer than the longest
// sheet (best fit, longest piece first); then sheet after sheet as long as the longest row left,
// filled across with the rows that cover most of it. Where sizes are wanted once or twice and
// rows carry many pieces (narrow strips), the relaxation's sheets round badly and this does
// not. Empty for orders too large for its knapsacks.
std::vector<Cut> rowsThenSheets(const Instance& instance);

}  // namespace kvm::coil
