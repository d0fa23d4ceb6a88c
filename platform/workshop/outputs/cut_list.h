#pragma once

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "files/staged_file.h"
#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/outputs/bill_costs.h"

namespace kvm::workshop {

// cutlist.csv: one row per flashing and length class. UTF-8 with a byte order mark, so that a
// spreadsheet on a Chinese system reads the names right. Staged beside its final name and
// moved into place by finish(). With prices, the rows wait for the coil order, which the
// material cost depends on, and gain the cost columns.
class CutList {
 public:
  CutList(const std::filesystem::path& file, bool priced);

  void add(const FlashingResult& flashing, int bends);
  // Ends the list with a row of totals per colour, naming the project and the date. `costs`
  // only for a priced list.
  void finish(const std::u16string& project, const std::u16string& date,
              const BillCosts* costs = nullptr);

  // Developed width × run length per colour so far, m².
  [[nodiscard]] std::map<std::string, double> areaByColour() const;

 private:
  struct Row {
    std::string text;  // the columns before the costs, without the line's end
    std::string colour;
    int bends = 0;
    double runLength = 0;  // m
    double area = 0;       // m²
  };
  struct Total {
    std::string colour;
    std::size_t lines = 0;
    std::size_t piecesToCut = 0;
    double runLength = 0;  // mm
    double area = 0;       // m²
    double material = 0;
    double folding = 0;
    bool materialPriced = true;
  };
  // The row's cost columns, adding them to the colour's total.
  std::string costColumns(const Row& row, Total& total, const BillCosts& costs) const;

  files::StagedFile file_;
  std::ostream& out_;
  bool priced_ = false;
  std::vector<Row> rows_;      // priced lists only
  std::vector<Total> totals_;  // per colour, in the order the colours first appear
};

// A CSV field, quoted when it needs to be.
std::string csvField(const std::string& text);

}  // namespace kvm::workshop
