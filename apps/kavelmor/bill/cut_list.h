#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sim/companion/bill_job.h"

namespace kvm::cli {

// cutlist.csv: one row per flashing and length class. UTF-8 with a byte order mark, so that a
// spreadsheet on a Chinese system reads the names right. Written beside its final name and
// moved into place by finish().
class CutList {
 public:
  explicit CutList(std::filesystem::path file);
  CutList(const CutList&) = delete;
  CutList& operator=(const CutList&) = delete;
  CutList(CutList&&) = delete;
  CutList& operator=(CutList&&) = delete;
  ~CutList();

  void add(const companion::FlashingResult& flashing);
  // Ends the list with a row of totals per colour, naming the project and the date.
  void finish(const std::u16string& project, const std::u16string& date);

 private:
  std::filesystem::path file_;
  std::filesystem::path part_;
  std::ofstream out_;
  bool finished_ = false;
  struct Total {
    std::string colour;
    std::size_t lines = 0;
    std::size_t piecesToCut = 0;
    double runLength = 0;  // mm
    double area = 0;       // m²
  };
  std::vector<Total> totals_;  // per colour, in the order the colours first appear
};

// A CSV field, quoted when it needs to be.
std::string csvField(const std::string& text);

}  // namespace kvm::cli
