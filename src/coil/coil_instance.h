#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "coil/coil_order.h"

namespace kvm::coil {

// The piece sizes to cut, on the nesting grids. Whole millimetres nest exactly; other sizes go
// on a 0.1 mm grid, rounded up so that a plan never overfills the coil or a sheet.
struct Instance {
  std::vector<int> widths;          // grid units across
  std::vector<int> lengths;         // grid units along
  std::vector<double> millimetres;  // along
  std::vector<int> demand;
  std::vector<std::size_t> sizeOf;  // per piece of the group; sizes.size() where none is cut
  int capacity = 0;
  int maxLength = 0;
  double lengthGrid = 1;  // mm per unit along
};

// The group's pieces by size on its grids. Throws CoilError (StripTooWide for a piece wider
// than the usable width) for what cannot be cut.
Instance instanceOf(const CoilGroup& group);

// A length in mm as the coil's messages write it.
std::string mm(double value);

}  // namespace kvm::coil
