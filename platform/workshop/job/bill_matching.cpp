#include "platform/workshop/job/bill_matching.h"

#include <algorithm>

#include "base/text.h"
#include "model/current_use.h"

namespace kvm::workshop {

bool reportedMissing(const std::u16string& currentUse, const std::vector<std::u16string>& notes) {
  const std::u16string note = u"没找到包角 " + currentUse + u" 属性";
  return std::any_of(notes.begin(), notes.end(), [&note](const std::u16string& each) {
    return each.find(note) != std::u16string::npos;
  });
}

std::vector<const ProjectFlashing*> matchBillEntries(const BillRecord& bill, const Project& project,
                                                     const std::vector<std::u16string>& notes) {
  std::vector<const ProjectFlashing*> drawn;
  for (const ProjectFlashing& flashing : project.flashings) {
    if (!reportedMissing(flashing.currentUse, notes)) {
      drawn.push_back(&flashing);
    }
  }
  if (drawn.size() != bill.entries.size()) {
    throw BillRecordError("the bill holds " + std::to_string(bill.entries.size()) +
                          " flashings, but " + std::to_string(drawn.size()) +
                          " rows of the current-use list were not reported missing");
  }
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    const CurrentUseParts parts = splitCurrentUseEntry(drawn[i]->currentUse);
    if (parts.flashing != bill.entries[i].name) {
      throw BillRecordError(
          "bill entry " + std::to_string(i + 1) + " is \"" + toUtf8(bill.entries[i].name) +
          "\", but the current-use row it stands for is \"" + toUtf8(drawn[i]->currentUse) + "\"");
    }
  }
  return drawn;
}

}  // namespace kvm::workshop
