#pragma once

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "files/staged_file.h"
#include "platform/workshop/job/bill_job.h"

namespace kvm::workshop {

// cutlist.csv, what to cut: one row per flashing and piece length, the pieces its cutting plan
// cuts, longest first. UTF-8 with a byte order mark, so that a spreadsheet on a Chinese system
// reads the names right. Staged beside its final name and moved into place by finish().
class CutList {
 public:
  // `thickness` as the bill header gives it ("0.5").
  CutList(const std::filesystem::path& file, std::string thickness);

  void add(const FlashingResult& flashing, int bends);
  // Ends the list with a row of the pieces per colour, naming the project and the date.
  void finish(const std::u16string& project, const std::u16string& date);

 private:
  struct Total {
    std::string colour;
    std::size_t pieces = 0;
  };

  files::StagedFile file_;
  std::ostream& out_;
  std::string thickness_;
  std::vector<Total> totals_;  // per colour, in the order the colours first appear
};

// A CSV field, quoted when it needs to be.
std::string csvField(const std::string& text);

}  // namespace kvm::workshop
