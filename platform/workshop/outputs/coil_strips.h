#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/outputs/coil_csv.h"

namespace kvm::workshop {

// The pieces a bill cuts from the coil, gathered per colour as the blocks are drawn: a
// flashing's developed width by each piece length of its cutting plan.
class CoilStrips {
 public:
  void add(const FlashingResult& result);

  // The coil order of every colour, in the order the colours first appear. Throws CoilError
  // (StripTooWide naming the flashing and both widths).
  [[nodiscard]] std::vector<CoilOrder> order(const CoilStock& coil, double thickness) const;

  // Flashings left out because the database gives them no developed width.
  [[nodiscard]] const std::vector<std::string>& withoutWidth() const { return withoutWidth_; }

 private:
  struct Colour {
    std::string colour;
    std::vector<CoilPiece> pieces;
    // (flashing, width, length) to its place in `pieces`.
    std::map<std::tuple<std::string, double, double>, std::size_t> index;
  };
  std::vector<Colour> colours_;
  std::vector<std::string> withoutWidth_;
};

// Per colour: the coil to order in metres, square metres and kilograms, sheets, waste, and the
// gap to the lower bound with what that bound is.
void reportCoilOrders(std::ostream& progress, const std::vector<CoilOrder>& orders);

}  // namespace kvm::workshop
