#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "coil/coil_order.h"
#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/outputs/bill_costs.h"

namespace kvm::workshop {

// One flashing as it is bought and quoted: its lines as drawn and the pieces its cutting plan
// actually cuts. Lengths and areas are rounded as bill.csv shows them, so that every output
// printing them prints the same figures and the totals are the sums of the rows.
struct BillRow {
  std::size_t block = 0;                // from 1
  std::string name, colour, thickness;  // UTF-8; the thickness as the bill header gives it
  int64_t developedWidth = 0;           // mm
  int bends = 0;
  std::size_t lines = 0;
  double lineLength = 0;  // m, the lines as drawn
  std::size_t pieces = 0;
  double pieceLength = 0;  // m, the pieces cut laid end to end
  double area = 0;         // m²
  double weight = 0;       // kg
  // Per piece length, longest first: how many pieces of it are cut.
  std::vector<std::pair<int64_t, std::size_t>> cuts;
  // Where priced; the material stays empty without the colour's sheet price.
  std::optional<double> material{}, folding{}, cost{};
};

// The sums of a colour and thickness, or of the whole bill (empty colour).
struct BillTotal {
  std::string colour, thickness;
  std::size_t lines = 0, pieces = 0;
  double lineLength = 0, pieceLength = 0, area = 0, weight = 0;
  std::optional<double> material{}, folding{}, cost{};
};

// What a coil order asks for: coil length, its area over the full coil width, and its weight.
struct CoilNeed {
  std::string colour;
  double thickness = 0;  // mm
  double coilWidth = 0;  // mm
  double length = 0;     // m
  double area = 0;       // m²
  double weight = 0;     // kg
};

CoilNeed coilNeed(const CoilOrder& order);

// The pieces of one flashing by length, longest first.
std::vector<std::pair<int64_t, std::size_t>> piecesByLength(const CuttingPlan& plan);

// The bill of the pieces cut, gathered as the blocks are drawn.
class PieceBill {
 public:
  // `thickness` as the bill header gives it ("0.5").
  explicit PieceBill(std::string thickness);

  void add(const FlashingResult& result, int bends);
  // Prices the rows once the coil is ordered: the material at the costs' rate per m² of pieces
  // (the colour's coil, waste included, spread over its flashings by area), the folding by
  // bends and the pieces' length.
  void price(const BillCosts& costs);

  [[nodiscard]] const std::vector<BillRow>& rows() const { return rows_; }
  // Per colour and thickness, in the order the colours first appear.
  [[nodiscard]] std::vector<BillTotal> colourTotals() const;
  [[nodiscard]] BillTotal total() const;
  // The pieces' area per colour, m².
  [[nodiscard]] std::map<std::string, double> areaByColour() const;
  [[nodiscard]] bool priced() const { return priced_; }

 private:
  std::string thickness_;
  double thicknessMm_ = 0;
  std::vector<BillRow> rows_;
  bool priced_ = false;
};

// bill.csv: a row per flashing, then a row `total` per colour and thickness and one for the
// bill naming the project and date; UTF-8 with a byte order mark and CRLF, as the cut list.
void writeBillCsv(std::ostream& out, const PieceBill& bill, const std::string& projectAndDate);

}  // namespace kvm::workshop
