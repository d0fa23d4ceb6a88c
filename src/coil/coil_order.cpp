#include "coil/coil_order.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <map>
#include <numeric>
#include <sstream>

#include "base/numbers.h"
#include "base/text.h"
#include "coil/capped_bound.h"
#include "coil/pattern_choice.h"
#include "coil/pattern_master.h"
#include "coil/pattern_order.h"
#include "coil/row_pricing.h"

namespace kvm {

namespace {

using coil::CappedPrice;
using coil::Column;
using coil::PatternMaster;
using coil::priceCapped;
using coil::Row;
using coil::RowPricing;
using coil::SizeCounts;
using coil::SizeGrid;

constexpr int kPricingRounds = 500;
constexpr std::size_t kColumnsPerRound = 30;
constexpr int kRoundingPasses = 50;
constexpr int kDiveSteps = 200;
constexpr double kCloseEnough = 1.01;
constexpr double kSmallOrderGap = 1.03;
constexpr std::size_t kSmallOrderKinds = 200;
// A pattern shortens the relaxation where its pieces' duals beat its length by more than the
// solver's rounding.
constexpr double kImproving = 1 + 1e-9;

std::string mm(double value) {
  return toUtf8(formatUpTo(value, 3));
}

// A size too small for three decimals, as written in the order.
std::string shortestText(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

bool whole(double value) {
  return std::abs(value - std::round(value)) < 1e-9;
}

// The piece sizes to cut, on the nesting grids. Whole millimetres nest exactly; other sizes go
// on a 0.1 mm grid, rounded up so that a plan never overfills the coil or a sheet.
struct Instance {
  std::vector<int> widths;          // grid units across
  std::vector<int> lengths;         // grid units along
  std::vector<double> millimetres;  // along
  std::vector<int> demand;
  std::vector<std::size_t> sizeOf;  // per piece of the group; sizes.size() where none is cut
  int capacity = 0;
  int maxLength = 0;
  double lengthGrid = 1;  // mm per unit along
};

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

struct Relaxation {
  double bound = 0;
  bool converged = false;
};

// Prices patterns into the master until none shortens it. The bound is the relaxation's
// optimum once converged, else the best Farley bound seen.
Relaxation generateColumns(PatternMaster& master, RowPricing& pricing,
                           const std::vector<int>& demand, bool sequential = false) {
  Relaxation relaxation;
  for (int round = 0; round < kPricingRounds; ++round) {
    master.solve();
    const std::vector<double> duals = master.duals();
    const RowPricing::Scan scan =
        pricing.scan(duals, demand, kImproving, false, sequential, kColumnsPerRound);
    relaxation.bound =
        std::max(relaxation.bound, master.objective() / std::max(1.0, scan.steepest));
    std::vector<std::pair<double, int>> improving;
    for (const RowPricing::Candidate& candidate : scan.candidates) {
      improving.emplace_back(pricing.millimetresAlong(candidate.length) - candidate.value,
                             candidate.length);
    }
    std::sort(improving.begin(), improving.end());
    improving.resize(std::min(improving.size(), kColumnsPerRound));
    std::vector<Column> columns;
    for (const auto& [reducedCost, length] : improving) {
      Column column = pricing.fill(length);
      if (!column.sizes.empty() && !master.has(column.sizes)) columns.push_back(std::move(column));
    }
    // Only known patterns pricing out is the solver's rounding, not a better relaxation.
    if (columns.empty()) return {master.objective(), true};
    master.add(std::move(columns));
  }
  return relaxation;
}

// The relaxation over relaxed sheets, which cut no more of a size than is wanted, from the
// given real ones: priced exactly until it converges, else the best Farley bound seen.
Relaxation relaxedBound(const Instance& instance, const std::vector<Column>& seeds,
                        std::vector<Column>& sheets) {
  PatternMaster relaxed(instance.demand);
  relaxed.add(seeds);
  const SizeGrid grid{instance.widths,     instance.lengths,  instance.millimetres,
                      instance.lengthGrid, instance.capacity, instance.maxLength};
  Relaxation relaxation;
  for (int round = 0; round < kPricingRounds; ++round) {
    relaxed.solve();
    const CappedPrice price = priceCapped(grid, relaxed.duals(), instance.demand);
    if (price.steepest <= kImproving) return {relaxed.objective(), true};
    relaxation.bound =
        std::max(relaxation.bound, relaxed.objective() / std::max(1.0, price.steepest));
    if (price.sheet.sizes.empty() || relaxed.has(price.sheet.sizes)) break;
    sheets.push_back(price.sheet);
    relaxed.add({price.sheet});
  }
  return relaxation;
}

// A real sheet as near a relaxed one as the rows allow: its pieces, widest and longest first,
// each in the first row of its width with room along, or a new row while the width has room.
Column realised(const Instance& instance, const Column& relaxed) {
  std::vector<std::size_t> pieces;
  for (const auto& [size, count] : relaxed.sizes) {
    pieces.insert(pieces.end(), static_cast<std::size_t>(count), size);
  }
  std::sort(pieces.begin(), pieces.end(), [&](std::size_t a, std::size_t b) {
    return instance.widths[a] != instance.widths[b] ? instance.widths[a] > instance.widths[b]
                                                    : instance.lengths[a] > instance.lengths[b];
  });
  const auto along = static_cast<int>(std::lround(relaxed.length / instance.lengthGrid));
  std::vector<std::map<std::size_t, int>> rowPieces;
  std::vector<int> rowWidth;
  std::vector<int> rowUsed;
  int across = 0;
  for (const std::size_t size : pieces) {
    std::size_t row = 0;
    while (row < rowWidth.size() && (rowWidth[row] != instance.widths[size] ||
                                     rowUsed[row] + instance.lengths[size] > along)) {
      ++row;
    }
    if (row == rowWidth.size()) {
      if (across + instance.widths[size] > instance.capacity) continue;
      across += instance.widths[size];
      rowWidth.push_back(instance.widths[size]);
      rowUsed.push_back(0);
      rowPieces.emplace_back();
    }
    rowUsed[row] += instance.lengths[size];
    ++rowPieces[row][size];
  }
  Column column;
  std::map<std::size_t, int> sizes;
  for (std::size_t row = 0; row < rowWidth.size(); ++row) {
    Row laid{rowWidth[row], {rowPieces[row].begin(), rowPieces[row].end()}};
    double used = 0;
    for (const auto& [size, count] : laid.pieces) {
      used += instance.millimetres[size] * count;
      sizes[size] += count;
    }
    column.length = std::max(column.length, used);
    column.rows.push_back(std::move(laid));
  }
  column.sizes.assign(sizes.begin(), sizes.end());
  return column;
}

struct Cut {
  Column column;
  int times = 0;
};

bool allCut(const std::vector<int>& remaining) {
  return std::all_of(remaining.begin(), remaining.end(), [](int left) { return left == 0; });
}

// The column cut down to the pieces still to cut, top row first, as long as its longest row.
Column withinDemand(const Instance& instance, const Column& column,
                    const std::vector<int>& remaining) {
  std::vector<int> left = remaining;
  Column cut;
  std::map<std::size_t, int> sizes;
  for (const Row& row : column.rows) {
    Row kept{row.width, {}};
    double used = 0;
    for (const auto& [size, count] : row.pieces) {
      const int taken = std::min(count, left[size]);
      if (taken <= 0) continue;
      left[size] -= taken;
      sizes[size] += taken;
      kept.pieces.emplace_back(size, taken);
      used += instance.millimetres[size] * taken;
    }
    if (kept.pieces.empty()) continue;
    cut.length = std::max(cut.length, used);
    cut.rows.push_back(std::move(kept));
  }
  cut.sizes.assign(sizes.begin(), sizes.end());
  return cut;
}

void subtract(const Column& column, int times, std::vector<int>& remaining) {
  for (const auto& [size, count] : column.sizes) remaining[size] -= count * times;
}

// How often the column can be cut whole from what is left.
int wholeTimes(const Column& column, const std::vector<int>& remaining) {
  int times = std::numeric_limits<int>::max();
  for (const auto& [size, count] : column.sizes) times = std::min(times, remaining[size] / count);
  return column.sizes.empty() ? 0 : times;
}

// Cuts the column up to `wanted` times from what is left: whole while all its pieces are
// wanted, then cut down to what is left. Returns the sheets cut.
int take(const Instance& instance, const Column& column, int wanted, std::vector<int>& remaining,
         std::vector<Cut>& cuts) {
  const int whole = std::min(wanted, wholeTimes(column, remaining));
  if (whole > 0) {
    subtract(column, whole, remaining);
    cuts.push_back({column, whole});
  }
  int cut = whole;
  for (; cut < wanted; ++cut) {
    Column part = withinDemand(instance, column, remaining);
    if (part.sizes.empty()) break;
    subtract(part, 1, remaining);
    cuts.push_back({std::move(part), 1});
  }
  return cut;
}

// Sheets for what is left, one at a time: of all sheet lengths, the sheet whose pieces cover
// most of its area, cut again while its pieces last.
void cutGreedily(const Instance& instance, RowPricing& pricing, std::vector<int>& remaining,
                 std::vector<Cut>& cuts) {
  std::vector<double> area(instance.widths.size());
  for (std::size_t i = 0; i < area.size(); ++i) {
    area[i] = instance.widths[i] * instance.millimetres[i];
  }
  while (!allCut(remaining)) {
    const RowPricing::Scan scan = pricing.scan(area, remaining, 0, true, true);
    Column column;
    if (!scan.candidates.empty()) {
      column = withinDemand(instance, pricing.fill(scan.candidates.back().length), remaining);
    }
    if (column.sizes.empty()) {
      // Never for pieces that fit a sheet; a piece alone keeps the plan whole regardless.
      const auto left = static_cast<std::size_t>(
          std::find_if(remaining.begin(), remaining.end(), [](int n) { return n > 0; }) -
          remaining.begin());
      column = {instance.millimetres[left], {{left, 1}}, {{instance.widths[left], {{left, 1}}}}};
    }
    take(instance, column, std::max(1, wholeTimes(column, remaining)), remaining, cuts);
  }
}

double coilLengthOf(const std::vector<Cut>& cuts) {
  double length = 0;
  for (const Cut& cut : cuts) length += cut.times * cut.column.length;
  return length;
}

// Residual rounding: the relaxation's patterns rounded down, the rest priced again and rounded
// down until no pattern is used whole; then the most used pattern is cut once and the rest
// priced again (a dive), for at most kDiveSteps sheets. The greedy fills whatever is left.
// Where the dive starts, the greedy tail alone is kept as a second plan, and the shorter of
// the two is returned; the tail alone where it is already `goodEnough` long at most.
std::vector<Cut> roundedCuts(PatternMaster& master, RowPricing& pricing, const Instance& instance,
                             double goodEnough, bool sequential = false) {
  std::vector<int> remaining = instance.demand;
  std::vector<Cut> cuts;
  std::vector<Cut> greedyTail;
  int dives = 0;
  for (int pass = 0; pass < kRoundingPasses + kDiveSteps && !allCut(remaining); ++pass) {
    const std::vector<double> usage = master.usage();
    std::vector<std::size_t> order(usage.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&usage](std::size_t a, std::size_t b) { return usage[a] > usage[b]; });
    bool fixed = false;
    for (const std::size_t p : order) {
      const int wanted = static_cast<int>(std::floor(usage[p] + 1e-9));
      if (wanted <= 0) break;
      fixed = take(instance, master.columns()[p], wanted, remaining, cuts) > 0 || fixed;
    }
    if (!fixed) {
      if (greedyTail.empty()) {
        std::vector<int> left = remaining;
        greedyTail = cuts;
        cutGreedily(instance, pricing, left, greedyTail);
        // On large orders the rest is a sliver of the coil: no dive makes up its cost.
        if (coilLengthOf(greedyTail) <= goodEnough) return greedyTail;
      }
      if (order.empty() || usage[order.front()] <= 1e-9 || ++dives > kDiveSteps) break;
      take(instance, master.columns()[order.front()], 1, remaining, cuts);
    }
    if (allCut(remaining)) break;
    master.setDemand(remaining);
    generateColumns(master, pricing, remaining, sequential);
  }
  cutGreedily(instance, pricing, remaining, cuts);
  if (!greedyTail.empty() && coilLengthOf(greedyTail) < coilLengthOf(cuts)) return greedyTail;
  return cuts;
}

// The sheets of the pool and of the plan so far, each cut as often as an integer program over
// them chooses, where that beats the plan.
std::vector<Cut> chosenCuts(const Instance& instance, std::vector<Column> pool,
                            std::vector<Cut> cuts) {
  std::vector<int> start(pool.size(), 0);
  for (const Cut& cut : cuts) {
    pool.push_back(cut.column);
    start.push_back(cut.times);
  }
  const std::vector<int> times = coil::choosePatterns(pool, instance.demand, start);
  if (times.size() != pool.size()) return cuts;
  std::vector<int> remaining = instance.demand;
  std::vector<Cut> chosen;
  for (std::size_t p = 0; p < pool.size(); ++p) {
    if (times[p] > 0) take(instance, pool[p], times[p], remaining, chosen);
  }
  if (!allCut(remaining)) return cuts;
  return coilLengthOf(chosen) < coilLengthOf(cuts) ? chosen : cuts;
}

// Rows widest on top, pieces along them longest first: the slitter's knives and the shear's
// stops are set in that order.
void normalise(Column& column, const Instance& instance) {
  for (Row& row : column.rows) {
    std::sort(row.pieces.begin(), row.pieces.end(), [&](const auto& a, const auto& b) {
      return instance.millimetres[a.first] != instance.millimetres[b.first]
                 ? instance.millimetres[a.first] > instance.millimetres[b.first]
                 : a.first < b.first;
    });
  }
  std::sort(column.rows.begin(), column.rows.end(), [](const Row& a, const Row& b) {
    return a.width != b.width ? a.width > b.width : a.pieces > b.pieces;
  });
}

// The flashings' pieces of one size, to be handed out to the sheets in the order of the bill.
class PieceQueue {
 public:
  void add(std::size_t piece, int count) {
    if (count > 0) left_.emplace_back(piece, count);
  }
  // Appends `count` pieces to the row, as few flashings as the queue allows.
  void takeInto(int count, std::vector<RowPieces>& row) {
    while (count > 0 && !left_.empty()) {
      auto& [piece, left] = left_.front();
      const int taken = std::min(count, left);
      if (!row.empty() && row.back().piece == piece) {
        row.back().count += taken;
      } else {
        row.push_back({piece, taken});
      }
      count -= taken;
      left -= taken;
      if (left == 0) left_.pop_front();
    }
  }

 private:
  std::deque<std::pair<std::size_t, int>> left_;
};

bool sameRows(const std::vector<SheetRow>& a, const std::vector<SheetRow>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const SheetRow& x, const SheetRow& y) {
                      return x.width == y.width &&
                             std::equal(x.pieces.begin(), x.pieces.end(), y.pieces.begin(),
                                        y.pieces.end(), [](const RowPieces& p, const RowPieces& q) {
                                          return p.piece == q.piece && p.count == q.count;
                                        });
                    });
}

CoilPlan planOf(const CoilGroup& group, const Instance& instance, std::vector<Cut> cuts,
                Relaxation relaxation) {
  std::map<std::vector<Row>, std::pair<Column, int>> distinct;
  for (Cut& cut : cuts) {
    if (cut.times <= 0 || cut.column.sizes.empty()) continue;
    normalise(cut.column, instance);
    auto [at, added] = distinct.try_emplace(cut.column.rows, cut.column, 0);
    at->second.second += cut.times;
  }
  std::vector<PieceQueue> queues(instance.widths.size());
  for (std::size_t i = 0; i < group.pieces.size(); ++i) {
    if (instance.sizeOf[i] < queues.size())
      queues[instance.sizeOf[i]].add(i, group.pieces[i].count);
  }
  CoilPlan plan;
  double pieceArea = 0;  // mm²
  for (const auto& [rows, cut] : distinct) {
    for (int sheet = 0; sheet < cut.second; ++sheet) {
      std::vector<SheetRow> laid;
      double length = 0;
      for (const Row& row : rows) {
        SheetRow sheetRow;
        for (const auto& [size, count] : row.pieces) queues[size].takeInto(count, sheetRow.pieces);
        double used = 0;
        for (const RowPieces& pieces : sheetRow.pieces) {
          const CoilPiece& piece = group.pieces[pieces.piece];
          sheetRow.width = std::max(sheetRow.width, piece.width);
          used += piece.length * pieces.count;
          pieceArea += piece.width * piece.length * pieces.count;
        }
        length = std::max(length, used);
        laid.push_back(std::move(sheetRow));
      }
      if (!plan.patterns.empty() && sameRows(plan.patterns.back().rows, laid)) {
        ++plan.patterns.back().sheets;
      } else {
        plan.patterns.push_back({1, length, std::move(laid)});
      }
      plan.coilLength += length;
      ++plan.sheets;
    }
  }
  orderForWorkshop(group, plan.patterns);
  plan.lpBound = relaxation.bound;
  plan.boundKind = relaxation.bound > 0 ? (relaxation.converged ? BoundKind::LinearRelaxation
                                                                : BoundKind::Lagrangian)
                                        : BoundKind::None;
  plan.areaBound = pieceArea / group.usableWidth();
  plan.coilArea = plan.coilLength * group.coilWidth / 1e6;
  plan.piecesArea = pieceArea / 1e6;
  if (plan.coilLength > 0) {
    plan.wastePercent = 100 * (1 - pieceArea / (group.coilWidth * plan.coilLength));
    plan.gapPercent = 100 * (plan.coilLength / std::max(plan.lpBound, plan.areaBound) - 1);
  }
  return plan;
}

}  // namespace

StripTooWide::StripTooWide(std::string flashing, double width, double usableWidth)
    : CoilError("flashing \"" + flashing + "\": strip width " + mm(width) +
                " mm is wider than the usable coil width " + mm(usableWidth) + " mm"),
      flashing_(std::move(flashing)),
      width_(width),
      usableWidth_(usableWidth) {}

const char* boundName(BoundKind kind) {
  switch (kind) {
    case BoundKind::LinearRelaxation: return "the LP bound";
    case BoundKind::Lagrangian: return "a Lagrangian bound";
    case BoundKind::None: break;
  }
  return "the area bound";
}

CoilPlan planCoil(const CoilGroup& group) {
  const Instance instance = instanceOf(group);
  if (instance.demand.empty()) return {};
  RowPricing pricing(instance.widths, instance.lengths, instance.millimetres, instance.lengthGrid,
                     instance.capacity, instance.maxLength);
  PatternMaster master(instance.demand);
  std::vector<Column> start;
  for (std::size_t i = 0; i < instance.demand.size(); ++i) {
    // A sheet of rows of one size, as many as fit or are wanted.
    const int along = std::min(instance.demand[i], instance.maxLength / instance.lengths[i]);
    const int rows =
        std::min((instance.demand[i] + along - 1) / along, instance.capacity / instance.widths[i]);
    Column column{instance.millimetres[i] * along, {{i, along * rows}}, {}};
    column.rows.assign(static_cast<std::size_t>(rows), Row{instance.widths[i], {{i, along}}});
    start.push_back(std::move(column));
  }
  master.add(std::move(start));
  const Relaxation relaxation = generateColumns(master, pricing, instance.demand);

  std::vector<Cut> cuts = roundedCuts(master, pricing, instance, kCloseEnough * relaxation.bound);
  // The greedy alone now and then beats the rounding where integrality dominates: on small
  // orders, where a sheet is much of the bound.
  if (coilLengthOf(cuts) > kCloseEnough * relaxation.bound) {
    std::vector<int> remaining = instance.demand;
    std::vector<Cut> greedy;
    cutGreedily(instance, pricing, remaining, greedy);
    if (coilLengthOf(greedy) < coilLengthOf(cuts)) cuts = std::move(greedy);
  }
  // Where a size is wanted once or twice, the relaxation's sheets repeat one best row down a
  // width: they round badly and bound weakly. Sheets that cut no more than is wanted, each row
  // laid from what the rows above it left, round better, and the relaxation over such sheets
  // bounds every plan too, priced with the rows of a width valued together.
  Relaxation bound = relaxation;
  if (coilLengthOf(cuts) > kSmallOrderGap * relaxation.bound &&
      instance.demand.size() <= kSmallOrderKinds) {
    PatternMaster capped(instance.demand);
    std::vector<Column> known;
    for (const Column& column : master.columns()) {
      Column within = withinDemand(instance, column, instance.demand);
      if (!within.sizes.empty() && !capped.has(within.sizes)) known.push_back(std::move(within));
    }
    capped.add(std::move(known));
    generateColumns(capped, pricing, instance.demand, true);
    std::vector<Column> relaxedSheets;
    const Relaxation relaxed = relaxedBound(instance, capped.columns(), relaxedSheets);
    if (relaxed.bound > bound.bound) bound = relaxed;
    std::vector<Cut> other =
        roundedCuts(capped, pricing, instance, kCloseEnough * relaxation.bound, true);
    if (coilLengthOf(other) < coilLengthOf(cuts)) cuts = std::move(other);
    std::vector<Column> pool = capped.columns();
    for (const Column& sheet : relaxedSheets) {
      Column real = realised(instance, sheet);
      if (!real.sizes.empty()) pool.push_back(std::move(real));
    }
    for (const Column& column : master.columns()) {
      Column within = withinDemand(instance, column, instance.demand);
      if (!within.sizes.empty()) pool.push_back(std::move(within));
    }
    cuts = chosenCuts(instance, std::move(pool), std::move(cuts));
  }
  return planOf(group, instance, std::move(cuts), bound);
}

}  // namespace kvm
