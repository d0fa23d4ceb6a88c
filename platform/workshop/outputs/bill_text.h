#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/job/bill_record_reader.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// The scale as the settings dialog shows it: code 5 is 1:5, any other code n is 1:n0.
std::string scaleText(int scaleCode);

// A command-line note as one line: without the line breaks and blanks around it.
std::string noteLine(std::u16string_view note);

// The bill made readable for a person (UTF-8), written as the bill is drawn: the header; per
// flashing its attributes, its profile at full size in millimetres with the angle of each bend,
// and what was drawn for it (count rows, run length, area); at the end the totals per colour
// and thickness.
class BillText {
 public:
  BillText(std::ostream& out, const BillRecord& bill, const std::vector<std::u16string>& notes);

  void add(const FlashingResult& flashing);
  void finish();

 private:
  struct ColourTotal {
    std::u16string colour;
    double cutLength = 0;  // mm
    double area = 0;       // m²
    std::size_t pieces = 0;
  };

  std::ostream& out_;
  std::u16string thickness_;
  std::vector<ColourTotal> totals_;  // in the order the colours first appear
};

// Millimetres of the flashing per profile unit's worth: 1:10 draws a millimetre as ten units.
int profileUnitsPerMillimetre(int scaleCode);

}  // namespace kvm::workshop
