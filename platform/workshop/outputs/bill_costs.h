#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/workshop/outputs/coil_csv.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// What the project's prices make of the bill: material by the area of coil each colour
// takes, waste included, and folding by bends and run length.
class BillCosts {
 public:
  // `thickness` is the bill's plate thickness as its header gives it ("0.5"), which names
  // the sheet prices with the colour.
  BillCosts(Prices prices, std::string thickness);

  // Spreads each colour's coil, waste included, over its flashing area (m², developed width
  // × run length of every row of that colour).
  void setCoil(const std::vector<CoilOrder>& orders,
               const std::map<std::string, double>& flashingArea);

  // Per m² of flashing of the colour; none when the prices give the colour no sheet price.
  [[nodiscard]] std::optional<double> materialRate(const std::string& colour) const;
  [[nodiscard]] double folding(int bends, double runLengthMetres) const {
    return bends * runLengthMetres * prices_.perBendPerMetre;
  }
  [[nodiscard]] const std::string& currency() const { return prices_.currency; }
  // "colour/thickness" of the colours the prices leave out.
  [[nodiscard]] std::vector<std::string> unpriced() const;

 private:
  Prices prices_;
  std::string thickness_;
  std::map<std::string, double> rates_;  // per colour
  std::vector<std::string> colours_;
};

// A sum of money as the outputs show it: two decimals.
std::string money(double amount);

}  // namespace kvm::workshop
