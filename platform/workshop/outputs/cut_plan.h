#pragma once

#include <filesystem>
#include <ostream>

#include "files/staged_file.h"
#include "platform/workshop/job/bill_job.h"

namespace kvm::workshop {

// cutplan.csv: the workshop's cutting plan, one row per piece: block, flashing, the line's
// number in its current-use row, the piece's length and whether it comes from an offcut.
// UTF-8 with a byte order mark, like the cut list; staged and moved into place by finish().
class CutPlanFile {
 public:
  explicit CutPlanFile(const std::filesystem::path& file);

  void add(const FlashingResult& flashing);
  void finish();

 private:
  files::StagedFile file_;
  std::ostream& out_;
};

}  // namespace kvm::workshop
