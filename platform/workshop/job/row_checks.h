#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/flashing.h"
#include "platform/workshop/job/bill_record_reader.h"
#include "platform/workshop/project/located_error.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// A bill would install a flashing twice where its lines were drawn twice; what() names both
// lines of every such pair, a pair a line; field() is the first such row, layers() the layers
// the lines are on.
class OverlappingLinesError : public LocatedError {
 public:
  using LocatedError::LocatedError;
};

// A bill's warnings name at most this many lines of each kind per current-use row.
inline constexpr std::size_t kMaxLinesNamed = 20;

// Checks the rows' lines before the bill is made, as a detailer would: lines drawn twice
// (refused with OverlappingLinesError unless `allowOverlaps`, then a warning), lines shorter
// than their flashing's overlap, lines longer than a building, and what reading the plan
// noted. `stored` is each row's flashing as the database spells it. Warnings go to
// `progress`, a line each.
void checkRowLines(const Project& project, const std::vector<std::u16string>& stored,
                   const LibraryTable& table, bool allowOverlaps, std::ostream& progress);

// Says of every sheet price whose "colour/thickness" names no colour and thickness of the bill
// that it prices nothing, with the bill's keys.
void checkPriceKeys(const Project& project, const BillRecord& bill, std::ostream& progress);

}  // namespace kvm::workshop
