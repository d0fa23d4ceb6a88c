#include "coil/coil_order.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <sstream>

#include "base/numbers.h"
#include "base/text.h"
#include "coil/level_packing.h"
#include "coil/pattern_master.h"
#include "coil/pattern_order.h"
#include "coil/width_knapsack.h"

namespace kvm {

namespace {

using coil::Column;
using coil::PatternMaster;
using coil::StripCounts;
using coil::WidthKnapsack;

constexpr int kPricingRounds = 2000;
constexpr std::size_t kColumnsPerRound = 40;
constexpr int kRoundingPasses = 50;
constexpr int kDiveSteps = 200;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Beyond this many kinds of strip the relaxation takes minutes, not seconds; such orders have
// so many strips that sheets of strips close in length lose little along the coil, and their
// bound is the relaxation over the widths alone.
constexpr std::size_t kLargestPricedOrder = 600;

std::string mm(double value) {
  return toUtf8(formatUpTo(value, 3));
}

// A width too small for three decimals, as written in the order.
std::string shortestText(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// The strips to cut, their widths on the nesting grid. Whole millimetres nest exactly; other
// widths go on a 0.1 mm grid, rounded up so that a plan never overfills the coil.
struct Instance {
  std::vector<std::size_t> kinds;  // index into CoilGroup::strips
  std::vector<int> widths;
  std::vector<double> lengths;
  std::vector<int> demand;
  int capacity = 0;
};

bool whole(double value) {
  return std::abs(value - std::round(value)) < 1e-9;
}

Instance instanceOf(const CoilGroup& group) {
  const double usable = group.usableWidth();
  if (!(group.coilWidth > 0) || !(group.trim >= 0) || !(usable > 0) || !std::isfinite(usable)) {
    throw CoilError("coil " + group.colour + "/" + mm(group.thickness) + ": width " +
                    mm(group.coilWidth) + " mm less trim " + mm(group.trim) +
                    " mm leaves no usable width");
  }
  for (const CoilStrip& strip : group.strips) {
    if (!(strip.width > 0) || !(strip.length > 0) || !std::isfinite(strip.length) ||
        strip.count < 0) {
      throw CoilError("flashing \"" + strip.flashing + "\": a strip of width " + mm(strip.width) +
                      " mm, length " + mm(strip.length) + " mm and count " +
                      std::to_string(strip.count) + " cannot be cut");
    }
    if (strip.width > usable + 1e-9) {
      throw StripTooWide(strip.flashing, strip.width, usable);
    }
  }
  const bool wholeMillimetres =
      whole(usable) && std::all_of(group.strips.begin(), group.strips.end(),
                                   [](const CoilStrip& strip) { return whole(strip.width); });
  const double grid = wholeMillimetres ? 1.0 : 0.1;
  Instance instance;
  instance.capacity = static_cast<int>(std::floor(usable / grid + 1e-6));
  int common = 0;
  for (std::size_t i = 0; i < group.strips.size(); ++i) {
    const CoilStrip& strip = group.strips[i];
    if (strip.count == 0) continue;
    const int width =
        std::min(instance.capacity, static_cast<int>(std::ceil(strip.width / grid - 1e-6)));
    if (width < 1) {
      // Passes `width > 0`, yet takes no room on the grid: no sheet would ever fill up.
      throw CoilError("flashing \"" + strip.flashing + "\": strip width " +
                      shortestText(strip.width) +
                      " mm is too narrow to slit: it takes no room on " + "the " + mm(grid) +
                      " mm nesting grid");
    }
    instance.kinds.push_back(i);
    instance.widths.push_back(width);
    instance.lengths.push_back(strip.length);
    instance.demand.push_back(strip.count);
    common = std::gcd(common, instance.widths.back());
  }
  // Widths in steps of 5 or 10 mm, as they often are, need a table that much shorter.
  if (common > 1) {
    for (int& width : instance.widths) width /= common;
    instance.capacity /= common;
  }
  return instance;
}

double longestOf(const Instance& instance, const StripCounts& strips) {
  double longest = 0;
  for (const auto& [strip, count] : strips) longest = std::max(longest, instance.lengths[strip]);
  return longest;
}

// Prices patterns into the master until none shortens it. Returns a lower bound on the
// relaxation's optimum: the optimum itself once converged, else the Farley bound.
double generateColumns(PatternMaster& master, WidthKnapsack& knapsack, const Instance& instance,
                       const std::vector<int>& demand) {
  double bound = 0;
  for (int round = 0; round < kPricingRounds; ++round) {
    master.solve();
    const std::vector<double> duals = master.duals();
    knapsack.solve(duals, demand, instance.capacity, kInfinity);
    double steepest = 1;
    std::vector<std::pair<double, std::size_t>> improving;
    double previous = 0;
    for (std::size_t candidate = 0; candidate < knapsack.lengthCount(); ++candidate) {
      const double value = knapsack.value(candidate);
      const double length = knapsack.length(candidate);
      steepest = std::max(steepest, value / length);
      // A fill no better than at a shorter length is that shorter pattern again.
      if (value > previous + 1e-9 && length - value < -1e-7 * length) {
        improving.emplace_back(length - value, candidate);
      }
      previous = std::max(previous, value);
    }
    bound = std::max(bound, master.objective() / steepest);
    if (improving.empty()) return master.objective();
    std::sort(improving.begin(), improving.end());
    improving.resize(std::min(improving.size(), kColumnsPerRound));
    std::vector<Column> columns;
    for (const auto& [reducedCost, candidate] : improving) {
      StripCounts strips = knapsack.fill(candidate);
      if (!master.has(strips)) columns.push_back({longestOf(instance, strips), std::move(strips)});
    }
    // Only known patterns pricing out is the solver's rounding, not a better relaxation.
    if (columns.empty()) return master.objective();
    master.add(std::move(columns));
  }
  return bound;
}

// A lower bound for orders too large to price sheet patterns for: lengths set aside, the
// coil as a one-dimensional cutting stock of the widths, each width wanted for the summed
// length of its strips. Any plan's sheets give such a cover, their strips' widths along their
// whole length, so its relaxation's optimum bounds every plan, and it sees what the area
// bound cannot: widths that do not share a coil's width well.
double widthBound(const Instance& instance) {
  std::map<int, double> lengthOfWidth;
  for (std::size_t i = 0; i < instance.widths.size(); ++i) {
    lengthOfWidth[instance.widths[i]] += instance.lengths[i] * instance.demand[i];
  }
  Instance widths;
  widths.capacity = instance.capacity;
  for (const auto& [width, length] : lengthOfWidth) {
    widths.kinds.push_back(widths.kinds.size());
    widths.widths.push_back(width);
    widths.lengths.push_back(1);
    // Whole millimetres rounded down keep it a bound.
    widths.demand.push_back(static_cast<int>(
        std::min(std::floor(length), static_cast<double>(std::numeric_limits<int>::max()))));
  }
  WidthKnapsack knapsack(widths.widths, widths.lengths);
  PatternMaster master(widths.demand);
  std::vector<Column> start;
  for (std::size_t i = 0; i < widths.widths.size(); ++i) {
    start.push_back({1, {{i, widths.capacity / widths.widths[i]}}});
  }
  master.add(std::move(start));
  return generateColumns(master, knapsack, widths, widths.demand);
}

struct Cut {
  Column column;
  int times = 0;
};

// How often the column fits in what is left to cut, up to `wanted`, and takes it off.
int take(const Column& column, int wanted, std::vector<int>& remaining) {
  for (const auto& [strip, count] : column.strips) {
    wanted = std::min(wanted, remaining[strip] / count);
  }
  if (wanted <= 0) return 0;
  for (const auto& [strip, count] : column.strips) remaining[strip] -= wanted * count;
  return wanted;
}

// Sheets for what is left: each starts with the longest strip left and fills its width with
// the most strip area that fits beside it, then is repeated while its strips last.
void cutGreedily(const Instance& instance, WidthKnapsack& knapsack, std::vector<int>& remaining,
                 std::vector<Cut>& cuts) {
  std::vector<double> area(instance.widths.size());
  for (std::size_t i = 0; i < area.size(); ++i) area[i] = instance.widths[i] * instance.lengths[i];
  for (;;) {
    std::size_t first = remaining.size();
    for (std::size_t i = 0; i < remaining.size(); ++i) {
      if (remaining[i] > 0 &&
          (first == remaining.size() || instance.lengths[i] > instance.lengths[first] ||
           (instance.lengths[i] == instance.lengths[first] &&
            instance.widths[i] > instance.widths[first]))) {
        first = i;
      }
    }
    if (first == remaining.size()) return;
    std::vector<int> limits = remaining;
    --limits[first];
    knapsack.solve(area, limits, instance.capacity - instance.widths[first],
                   instance.lengths[first]);
    StripCounts strips;
    if (knapsack.lengthCount() > 0) strips = knapsack.fill(knapsack.lengthCount() - 1);
    auto at = std::find_if(strips.begin(), strips.end(),
                           [first](const auto& entry) { return entry.first == first; });
    if (at == strips.end()) {
      strips.insert(std::upper_bound(strips.begin(), strips.end(), std::make_pair(first, 0)),
                    {first, 1});
    } else {
      ++at->second;
    }
    Column column{instance.lengths[first], std::move(strips)};
    const int times = take(column, std::numeric_limits<int>::max(), remaining);
    cuts.push_back({std::move(column), times});
  }
}

double coilLengthOf(const std::vector<Cut>& cuts) {
  double length = 0;
  for (const Cut& cut : cuts) length += cut.times * cut.column.length;
  return length;
}

// The column cut down to the strips still to cut, as long as the longest left on it.
Column within(const Instance& instance, const Column& column, const std::vector<int>& remaining) {
  Column left;
  for (const auto& [strip, count] : column.strips) {
    if (remaining[strip] > 0) left.strips.emplace_back(strip, std::min(count, remaining[strip]));
  }
  left.length = longestOf(instance, left.strips);
  return left;
}

bool allCut(const std::vector<int>& remaining) {
  return std::all_of(remaining.begin(), remaining.end(), [](int left) { return left == 0; });
}

// Residual rounding: the relaxation's patterns rounded down, the rest priced again and
// rounded down until no pattern is used whole; then the most used pattern is cut once and
// the rest priced again (a dive), for at most kDiveSteps sheets. The greedy fills whatever
// is left. Where the dive starts, the greedy tail alone is kept as a second plan, and the
// shorter of the two is returned.
std::vector<Cut> roundedCuts(PatternMaster& master, WidthKnapsack& knapsack,
                             const Instance& instance) {
  std::vector<int> remaining = instance.demand;
  std::vector<Cut> cuts;
  std::vector<Cut> greedyTail;
  int dives = 0;
  for (int pass = 0; pass < kRoundingPasses + kDiveSteps && !allCut(remaining); ++pass) {
    const std::vector<double> usage = master.usage();
    std::vector<std::size_t> order(usage.size());
    for (std::size_t p = 0; p < order.size(); ++p) order[p] = p;
    std::sort(order.begin(), order.end(),
              [&usage](std::size_t a, std::size_t b) { return usage[a] > usage[b]; });
    bool fixed = false;
    for (const std::size_t p : order) {
      const int wanted = static_cast<int>(std::floor(usage[p] + 1e-9));
      if (wanted <= 0) break;
      const Column& column = master.columns()[p];
      if (const int times = take(column, wanted, remaining); times > 0) {
        cuts.push_back({column, times});
        fixed = true;
      }
    }
    if (!fixed) {
      if (greedyTail.empty()) {
        std::vector<int> left = remaining;
        greedyTail = cuts;
        cutGreedily(instance, knapsack, left, greedyTail);
      }
      if (order.empty() || usage[order.front()] <= 1e-9 || ++dives > kDiveSteps) break;
      Column column = within(instance, master.columns()[order.front()], remaining);
      take(column, 1, remaining);
      cuts.push_back({std::move(column), 1});
    }
    if (allCut(remaining)) break;
    master.setDemand(remaining);
    generateColumns(master, knapsack, instance, remaining);
  }
  cutGreedily(instance, knapsack, remaining, cuts);
  if (!greedyTail.empty() && coilLengthOf(greedyTail) < coilLengthOf(cuts)) return greedyTail;
  return cuts;
}

CoilPlan planOf(const CoilGroup& group, const Instance& instance, const std::vector<Cut>& cuts,
                double lpBound) {
  std::map<StripCounts, int> sheets;
  for (const Cut& cut : cuts) {
    if (cut.times > 0) sheets[cut.column.strips] += cut.times;
  }
  CoilPlan plan;
  double stripArea = 0;
  for (const auto& [strips, times] : sheets) {
    SheetPattern pattern{times, 0, {}};
    for (const auto& [strip, count] : strips) {
      const CoilStrip& kind = group.strips[instance.kinds[strip]];
      pattern.length = std::max(pattern.length, kind.length);
      pattern.strips.push_back({instance.kinds[strip], count});
      stripArea += kind.width * kind.length * count * times;
    }
    plan.coilLength += pattern.length * times;
    plan.sheets += times;
    plan.patterns.push_back(std::move(pattern));
  }
  orderForWorkshop(group, plan.patterns);
  plan.lpBound = lpBound;
  plan.areaBound = stripArea / group.usableWidth();
  if (plan.coilLength > 0) {
    plan.wastePercent = 100 * (1 - stripArea / (group.coilWidth * plan.coilLength));
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

CoilPlan planCoil(const CoilGroup& group) {
  const Instance instance = instanceOf(group);
  if (instance.demand.empty()) return {};
  std::vector<Cut> levels;
  for (Column& sheet :
       coil::packLevels(instance.widths, instance.lengths, instance.demand, instance.capacity)) {
    levels.push_back({std::move(sheet), 1});
  }
  if (instance.widths.size() > kLargestPricedOrder) {
    return planOf(group, instance, levels, widthBound(instance));
  }
  WidthKnapsack knapsack(instance.widths, instance.lengths);

  PatternMaster master(instance.demand);
  std::vector<Column> start;
  for (std::size_t i = 0; i < instance.demand.size(); ++i) {
    const int across = std::min(instance.demand[i], instance.capacity / instance.widths[i]);
    start.push_back({instance.lengths[i], {{i, across}}});
  }
  master.add(std::move(start));
  const double lpBound = generateColumns(master, knapsack, instance, instance.demand);

  std::vector<Cut> cuts = roundedCuts(master, knapsack, instance);
  // The greedy alone now and then beats the rounding where integrality dominates.
  std::vector<int> remaining = instance.demand;
  std::vector<Cut> greedy;
  cutGreedily(instance, knapsack, remaining, greedy);
  if (coilLengthOf(greedy) < coilLengthOf(cuts)) cuts = std::move(greedy);
  if (coilLengthOf(levels) < coilLengthOf(cuts)) cuts = std::move(levels);
  return planOf(group, instance, cuts, lpBound);
}

}  // namespace kvm
