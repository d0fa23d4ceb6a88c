#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "coil/coil_order.h"
#include "files/staged_file.h"
#include "platform/workshop/job/bill_job.h"

namespace kvm::workshop {

// cutplan.csv: the workshop's cutting plan, one row per piece: block, flashing, the line's
// number in its current-use row, the piece's length, and the sheet pattern of coil.csv and the
// row across it where the piece is cut. The pieces are kept as the blocks are drawn and written
// once the coil is planned. UTF-8 with a byte order mark, like the cut list; staged and moved
// into place by finish().
class CutPlanFile {
 public:
  explicit CutPlanFile(const std::filesystem::path& file);

  void add(const FlashingResult& flashing);
  // Writes every piece with where the coil plans of `orders` lay it; a piece of a flashing
  // left out of the coil order has no pattern and row.
  void finish(std::span<const CoilOrder> orders);

 private:
  struct Flashing {
    std::size_t block = 0;
    std::string name, colour;                             // UTF-8
    double width = 0;                                     // mm, 0 where the database gives none
    std::vector<std::pair<std::size_t, int64_t>> pieces;  // line, length
  };
  files::StagedFile file_;
  std::ostream& out_;
  std::vector<Flashing> flashings_;
};

}  // namespace kvm::workshop
