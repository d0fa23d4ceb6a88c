#pragma once

#include <string>
#include <vector>

#include "platform/workshop/job/bill_record_reader.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// The record names its flashings only; the host knows which current-use row each one came
// from because the rows the dialog left out were reported on the command line. Returns, per
// bill entry, the project's flashing; throws BillRecordError when the bill does not follow the
// list.
std::vector<const ProjectFlashing*> matchBillEntries(const BillRecord& bill, const Project& project,
                                                     const std::vector<std::u16string>& notes);

// Whether the dialog reported this current-use row as not found.
bool reportedMissing(const std::u16string& currentUse, const std::vector<std::u16string>& notes);

}  // namespace kvm::workshop
