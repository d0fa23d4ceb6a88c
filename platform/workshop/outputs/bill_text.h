#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/job/bill_record_reader.h"
#include "platform/workshop/outputs/piece_bill.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// The scale as the settings dialog shows it: code 5 is 1:5, any other code n is 1:n0.
std::string scaleText(int scaleCode);

// A command-line note as one line: without the line breaks and blanks around it.
std::string noteLine(std::u16string_view note);

// The bill made readable for a person (UTF-8), written as the bill is drawn: the header; per
// flashing its attributes, its profile at full size in millimetres with the angle of each bend,
// what the component drew for it (its count rows, run length and area: its estimate) and the
// pieces actually cut; at the end the totals per colour and thickness of both.
class BillText {
 public:
  BillText(std::ostream& out, const BillRecord& bill, const std::vector<std::u16string>& notes);

  // `cut` is the flashing's row of the bill of pieces cut.
  void add(const FlashingResult& flashing, const BillRow& cut);
  void finish();

 private:
  struct ColourTotal {
    std::u16string colour;
    double cutLength = 0;  // mm, the component's estimate
    double area = 0;       // m², the component's estimate
    std::size_t pieces = 0;
    double pieceLength = 0;  // m, the pieces cut
    double pieceArea = 0;    // m²
  };

  std::ostream& out_;
  std::u16string thickness_;
  std::vector<ColourTotal> totals_;  // in the order the colours first appear
};

// Millimetres of the flashing per profile unit's worth: 1:10 draws a millimetre as ten units.
int profileUnitsPerMillimetre(int scaleCode);

}  // namespace kvm::workshop
