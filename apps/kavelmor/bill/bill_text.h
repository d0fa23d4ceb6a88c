#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/companion/bill_job.h"
#include "platform/sim/companion/bill_record_reader.h"
#include "platform/sim/companion/project_file.h"

namespace kvm::cli {

// The scale as the settings dialog shows it: code 5 is 1:5, any other code n is 1:n0.
std::string scaleText(int scaleCode);

// A command-line note as one line: without the line breaks and blanks around it.
std::string noteLine(std::u16string_view note);

// What the bill drew for one flashing, for the end of its section.
struct DrawnFlashing {
  std::vector<companion::ClassRow> rows;
  double cutLength = 0;  // mm
  double area = 0;       // m²
};

// The bill made readable for a person (UTF-8): the header, then per flashing its attributes,
// its profile at full size in millimetres with the angle of each bend, and what was drawn for
// it (count rows, run length, area); at the end the totals per colour and thickness.
void writeBillText(std::ostream& out, const companion::BillRecord& bill,
                   const std::vector<std::u16string>& rows,
                   const std::vector<std::u16string>& notes,
                   const std::vector<DrawnFlashing>& drawn);

// Millimetres of the flashing per profile unit's worth: 1:10 draws a millimetre as ten units.
int profileUnitsPerMillimetre(int scaleCode);

}  // namespace kvm::cli
