#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/companion/bill_record_reader.h"
#include "platform/sim/companion/project_file.h"

namespace kvm::cli {

// The scale as the settings dialog shows it: code 5 is 1:5, any other code n is 1:n0.
std::string scaleText(int scaleCode);

// A command-line note as one line: without the line breaks and blanks around it.
std::string noteLine(std::u16string_view note);

// The bill record made readable for a person (UTF-8): the header, then per flashing its
// attributes and profile, with the current-use row each entry stands for.
void writeBillText(std::ostream& out, const companion::BillRecord& bill,
                   const std::vector<const companion::ProjectFlashing*>& rows,
                   const std::vector<std::u16string>& notes);

}  // namespace kvm::cli
