#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "coil/coil_order.h"
#include "model/flashing.h"

namespace kvm::shop {

// The paper the shop drawings are printed on, always landscape.
enum class Paper : uint8_t { A4, A3, Letter };

// One row of the flashing's cutting plan.
struct CutRow {
  int64_t pieceLength = 0;  // mm
  std::size_t pieces = 0;   // whole pieces of this length
  std::string lines;        // UTF-8, which lines they go on, e.g. "1–4, 7"
};

struct FlashingSheet {
  std::size_t block = 0;      // block number as printed, from 1
  std::string name, colour;   // UTF-8
  Flashing profile;           // the database record
  double developedWidth = 0;  // mm
  int bends = 0;
  std::vector<CutRow> rows;
  // The figures of the pieces cut, as the bill gives them.
  std::size_t piecesToCut = 0;
  double runLength = 0;        // m, the pieces laid end to end
  double area = 0;             // m²
  double weight = 0;           // kg
  std::optional<double> cost;  // in the book's currency; the cover's only
};

// Grand totals per colour and thickness, or of the whole bill.
struct ColourTotal {
  std::string colour;
  double thickness = 0;
  double runLength = 0, area = 0, weight = 0;
  std::optional<double> cost;
  std::size_t pieces = 0;
};

// The coil to order of one colour and thickness.
struct CoilToOrder {
  std::string colour;
  double thickness = 0;  // mm
  double width = 0;      // mm
  double length = 0;     // m
  double area = 0;       // m²
  double weight = 0;     // kg
};

// Sheet steel weighs 7.85 kg per m² for each millimetre of thickness.
inline double sheetWeight(double area, double thickness) {
  return area * thickness * 7.85;
}

struct ShopBook {
  std::string project, date, thickness;  // as the bill header has them (UTF-8)
  std::string currency;                  // empty when no prices
  Paper paper = Paper::A4;
  std::vector<FlashingSheet> flashings;
  std::vector<ColourTotal> totals;
  std::optional<ColourTotal> total;      // of the whole bill
  std::vector<CoilToOrder> coilToOrder;  // per colour and thickness
  std::vector<CoilOrder> coil;           // per colour and thickness
};

}  // namespace kvm::shop
