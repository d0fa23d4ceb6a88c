#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kvm {

// Pieces of one flashing of one size: its developed width across the coil by a piece length
// along it. Pieces are cut flat, before folding, so pieces of one size from any flashing of
// the colour and thickness are alike on the coil.
struct CoilPiece {
  std::string flashing;  // UTF-8
  double width = 0;      // mm, across the coil
  double length = 0;     // mm, along the coil
  int count = 0;
};

// The pieces of one colour and thickness, and the coil they are cut from.
struct CoilGroup {
  std::string colour;  // UTF-8
  double thickness = 0;
  double coilWidth = 1250;
  double trim = 0;  // taken off the coil width before any row
  std::vector<CoilPiece> pieces;
  double maxSheet = 0;  // mm, the longest sheet; 0: the longest piece

  double usableWidth() const { return coilWidth - trim; }
};

// How many pieces of one flashing's size (an index into CoilGroup::pieces) lie end to end
// along a row.
struct RowPieces {
  std::size_t piece = 0;
  int count = 0;
};

// A strip slit lengthwise from a sheet, as long as the pieces it carries, cut across into them.
struct SheetRow {
  double width = 0;  // mm
  std::vector<RowPieces> pieces;
};

// A distinct sheet: cut `sheets` times, each as long as its longest row; rows from the top.
struct SheetPattern {
  int sheets = 0;
  double length = 0;  // mm
  std::vector<SheetRow> rows;
};

// What the reported lower bound is.
enum class BoundKind {
  // No relaxation was solved (a plan within 2 % of the area bound): the bound is that.
  None,
  // The optimum of the linear relaxation over every sheet of rows: column generation converged.
  LinearRelaxation,
  // A bound from the last relaxation over the patterns found so far, scaled by how much better
  // the best priced pattern was (column generation stopped before it converged).
  Lagrangian,
};

struct CoilPlan {
  std::vector<SheetPattern> patterns;
  double coilLength = 0;  // mm
  int sheets = 0;
  double wastePercent = 0;  // of the coil area used, trim included
  double lpBound = 0;       // mm, see boundKind
  BoundKind boundKind = BoundKind::None;
  double areaBound = 0;   // mm: piece area / usable width
  double gapPercent = 0;  // coil length over the larger bound
  double coilArea = 0;    // m², coil width × coil length
  double piecesArea = 0;  // m², the pieces cut from it
};

// Bad input: a coil with no usable width, a piece without width, length or a sane count.
class CoilError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A piece that no sheet can take.
class StripTooWide : public CoilError {
 public:
  StripTooWide(std::string flashing, double width, double usableWidth);
  const std::string& flashing() const { return flashing_; }
  double width() const { return width_; }
  double usableWidth() const { return usableWidth_; }

 private:
  std::string flashing_;
  double width_;
  double usableWidth_;
};

// The sheets that cut every piece of the group exactly once with as little coil as we can
// find. Throws CoilError (StripTooWide for a piece wider than the usable width, and a
// CoilError naming the flashing for a piece longer than the longest sheet).
CoilPlan planCoil(const CoilGroup& group);

// One colour and thickness with its plan.
struct CoilOrder {
  CoilGroup group;
  CoilPlan plan;
};

// How a bound is named in the progress.
const char* boundName(BoundKind kind);

}  // namespace kvm
