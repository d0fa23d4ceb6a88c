#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kvm {

// One kind of strip to slit from the coil: a flashing's developed width by one piece length.
struct CoilStrip {
  std::string flashing;  // UTF-8
  double width = 0;      // mm, across the coil
  double length = 0;     // mm, along the coil
  int count = 0;
};

// The strips of one colour and thickness, and the coil they are slit from.
struct CoilGroup {
  std::string colour;  // UTF-8
  double thickness = 0;
  double coilWidth = 1250;
  double trim = 0;  // taken off the coil width before any strip
  std::vector<CoilStrip> strips;

  double usableWidth() const { return coilWidth - trim; }
};

// How many strips of one kind (an index into CoilGroup::strips) lie across a sheet.
struct SheetStrips {
  std::size_t strip = 0;
  int count = 0;
};

// A distinct sheet: cut `sheets` times, each as long as the longest strip on it.
struct SheetPattern {
  int sheets = 0;
  double length = 0;
  std::vector<SheetStrips> strips;
};

struct CoilPlan {
  std::vector<SheetPattern> patterns;
  double coilLength = 0;  // mm
  int sheets = 0;
  double wastePercent = 0;  // of the coil area used, trim included
  // mm: the linear relaxation's optimum, a lower bound; for orders of very many kinds of strip,
  // the relaxation over the widths alone, lengths set aside
  double lpBound = 0;
  double areaBound = 0;   // mm: strip area / usable width
  double gapPercent = 0;  // coil length over the larger bound
};

// Bad input: a coil with no usable width, a strip without width, length or a sane count.
class CoilError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A strip that no sheet can take.
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

// The sheets that slit every strip of the group exactly once with as little coil as we can
// find. Throws CoilError (StripTooWide for a strip wider than the usable width).
CoilPlan planCoil(const CoilGroup& group);

// One colour and thickness with its plan.
struct CoilOrder {
  CoilGroup group;
  CoilPlan plan;
};

}  // namespace kvm
