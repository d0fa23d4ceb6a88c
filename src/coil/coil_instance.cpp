#include "coil/coil_instance.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <sstream>
#include <utility>

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::coil {

namespace {

// A size too small for three decimals, as written in the order.
std::string shortestText(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

bool whole(double value) {
  return std::abs(value - std::round(value)) < 1e-9;
}

void validate(const CoilGroup& group) {
  const double usable = group.usableWidth();
  if (!(group.coilWidth > 0) || !(group.trim >= 0) || !(usable > 0) || !std::isfinite(usable)) {
    throw CoilError("coil " + group.colour + "/" + mm(group.thickness) + ": width " +
                    mm(group.coilWidth) + " mm less trim " + mm(group.trim) +
                    " mm leaves no usable width");
  }
  if (!(group.maxSheet >= 0) || !std::isfinite(group.maxSheet)) {
    throw CoilError("coil " + group.colour + "/" + mm(group.thickness) + ": the longest sheet " +
                    mm(group.maxSheet) + " mm is no length");
  }
  for (const CoilPiece& piece : group.pieces) {
    if (!(piece.width > 0) || !(piece.length > 0) || !std::isfinite(piece.length) ||
        piece.count < 0) {
      throw CoilError("flashing \"" + piece.flashing + "\": a piece of width " + mm(piece.width) +
                      " mm, length " + mm(piece.length) + " mm and count " +
                      std::to_string(piece.count) + " cannot be cut");
    }
    if (piece.width > usable + 1e-9) {
      throw StripTooWide(piece.flashing, piece.width, usable);
    }
    if (group.maxSheet > 0 && piece.length > group.maxSheet + 1e-9 && piece.count > 0) {
      throw CoilError("flashing \"" + piece.flashing + "\": a piece of " + mm(piece.length) +
                      " mm is longer than the longest sheet, " + mm(group.maxSheet) + " mm");
    }
  }
}

}  // namespace

std::string mm(double value) {
  return toUtf8(formatUpTo(value, 3));
}

Instance instanceOf(const CoilGroup& group) {
  validate(group);
  const double usable = group.usableWidth();
  double longest = 0;
  for (const CoilPiece& piece : group.pieces) {
    if (piece.count > 0) longest = std::max(longest, piece.length);
  }
  const double maxSheet = group.maxSheet > 0 ? group.maxSheet : longest;
  const auto wholeWidths = [](const CoilPiece& piece) { return whole(piece.width); };
  const auto wholeLengths = [](const CoilPiece& piece) { return whole(piece.length); };
  const double widthGrid =
      whole(usable) && std::all_of(group.pieces.begin(), group.pieces.end(), wholeWidths) ? 1.0
                                                                                          : 0.1;
  const bool wholeAlong =
      std::all_of(group.pieces.begin(), group.pieces.end(), wholeLengths) && whole(maxSheet);
  Instance instance;
  instance.capacity = static_cast<int>(std::floor(usable / widthGrid + 1e-6));
  // Lengths in steps of 10 or 50 mm, as they often are, need rows that much shorter.
  long long step = 0;
  if (wholeAlong) {
    for (const CoilPiece& piece : group.pieces) {
      if (piece.count > 0) step = std::gcd(step, std::llround(piece.length));
    }
  }
  instance.lengthGrid = wholeAlong && step > 0 ? static_cast<double>(step) : 0.1;
  instance.maxLength = static_cast<int>(std::floor(maxSheet / instance.lengthGrid + 1e-6));
  std::map<std::pair<int, int>, std::size_t> sizes;
  std::vector<std::size_t> sizeOf(group.pieces.size(), std::numeric_limits<std::size_t>::max());
  for (std::size_t i = 0; i < group.pieces.size(); ++i) {
    const CoilPiece& piece = group.pieces[i];
    if (piece.count == 0) continue;
    const int width =
        std::min(instance.capacity, static_cast<int>(std::ceil(piece.width / widthGrid - 1e-6)));
    const int length = std::min(
        instance.maxLength, static_cast<int>(std::ceil(piece.length / instance.lengthGrid - 1e-6)));
    if (width < 1 || length < 1) {
      // Passes `> 0`, yet takes no room on the grid: no sheet would ever fill up.
      throw CoilError("flashing \"" + piece.flashing + "\": a piece of " +
                      shortestText(piece.width) + " × " + shortestText(piece.length) +
                      " mm is too small to cut: it takes no room on the 0.1 mm nesting grid");
    }
    const auto [at, added] = sizes.try_emplace({width, length}, instance.widths.size());
    if (added) {
      instance.widths.push_back(width);
      instance.lengths.push_back(length);
      instance.millimetres.push_back(length * instance.lengthGrid);
      instance.demand.push_back(0);
    }
    instance.demand[at->second] += piece.count;
    sizeOf[i] = at->second;
  }
  instance.sizeOf = std::move(sizeOf);
  int common = 0;
  for (const int width : instance.widths) common = std::gcd(common, width);
  if (common > 1) {
    for (int& width : instance.widths) width /= common;
    instance.capacity /= common;
  }
  return instance;
}

}  // namespace kvm::coil
