#include "platform/workshop/project/plan_checks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/dxf/group_reader.h"
#include "platform/workshop/project/plan_lines.h"

namespace kvm::workshop {

namespace {

// Directions closer than this (radians) may be one line drawn twice; each pair found is then
// measured exactly, so the bound only has to be generous.
constexpr double kSameDirection = 1e-5;
// Directions are taken over half a turn from here: no drawing's axes fall on the cut, so lines
// drawn along an axis either way round get one direction.
constexpr double kDirectionCut = -0.3;

struct Entry {
  double angle = 0;   // of the direction, within half a turn from kDirectionCut
  double offset = 0;  // of the line across the group's direction
  double from = 0;    // its ends along the group's direction
  double to = 0;
  std::size_t index = 0;
};

struct Direction {
  double x = 1;
  double y = 0;
};

Direction directionOf(const PlanLine& line) {
  const double length = lineLength(line);
  return {(line.endX - line.startX) / length, (line.endY - line.startY) / length};
}

// How far `other` runs along `line` (mm), where it lies on it; zero where it does not.
double runAlong(const PlanLine& line, const PlanLine& other, double tolerance) {
  const Direction along = directionOf(line);
  const auto across = [&](double x, double y) {
    return std::abs(-along.y * (x - line.startX) + along.x * (y - line.startY));
  };
  if (across(other.startX, other.startY) > tolerance ||
      across(other.endX, other.endY) > tolerance) {
    return 0;
  }
  const auto at = [&](double x, double y) {
    return along.x * (x - line.startX) + along.y * (y - line.startY);
  };
  const double a = at(other.startX, other.startY);
  const double b = at(other.endX, other.endY);
  return std::max(0.0, std::min(lineLength(line), std::max(a, b)) - std::max(0.0, std::min(a, b)));
}

// Runs of entries [first, last) whose key differs from the previous one by at most `gap`.
template <typename Key, typename Body>
void eachRun(std::vector<Entry>::iterator first, std::vector<Entry>::iterator last, Key key,
             double gap, Body body) {
  while (first != last) {
    auto end = std::next(first);
    while (end != last && key(*end) - key(*std::prev(end)) <= gap) {
      ++end;
    }
    body(first, end);
    first = end;
  }
}

std::string trimmed(double value, int decimals) {
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  std::string result = text.data();
  if (result.find('.') != std::string::npos) {
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.') result.pop_back();
  }
  return result == "-0" ? "0" : result;
}

}  // namespace

double lineLength(const PlanLine& line) {
  return std::hypot(line.endX - line.startX, line.endY - line.startY);
}

std::vector<LineOverlap> findOverlaps(std::span<const PlanLine> lines, double tolerance) {
  std::vector<Entry> entries;
  entries.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const PlanLine& line = lines[i];
    // A line no longer than the tolerance cannot lie on another for longer.
    if (!(lineLength(line) > tolerance)) continue;
    double angle = std::atan2(line.endY - line.startY, line.endX - line.startX);
    if (angle < kDirectionCut) angle += std::numbers::pi;
    if (angle >= kDirectionCut + std::numbers::pi) angle -= std::numbers::pi;
    entries.push_back({angle, 0, 0, 0, i});
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.angle < b.angle; });

  std::vector<LineOverlap> overlaps;
  const auto sweep = [&](auto first, auto last) {
    std::sort(first, last, [](const Entry& a, const Entry& b) {
      return a.from != b.from ? a.from < b.from : a.index < b.index;
    });
    auto reach = first;
    for (auto entry = std::next(first); entry < last; ++entry) {
      if (std::min(entry->to, reach->to) - entry->from > tolerance) {
        const double length = runAlong(lines[reach->index], lines[entry->index], tolerance);
        if (length > tolerance) {
          overlaps.push_back(
              {std::min(reach->index, entry->index), std::max(reach->index, entry->index), length});
        }
      }
      if (entry->to > reach->to) reach = entry;
    }
  };
  eachRun(
      entries.begin(), entries.end(), [](const Entry& e) { return e.angle; }, kSameDirection,
      [&](auto first, auto last) {
        const double ux = std::cos(first->angle);
        const double uy = std::sin(first->angle);
        for (auto entry = first; entry != last; ++entry) {
          const PlanLine& line = lines[entry->index];
          entry->offset = -uy * (line.startX + line.endX) / 2 + ux * (line.startY + line.endY) / 2;
          const double a = ux * line.startX + uy * line.startY;
          const double b = ux * line.endX + uy * line.endY;
          entry->from = std::min(a, b);
          entry->to = std::max(a, b);
        }
        std::sort(first, last, [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
        eachRun(
            first, last, [](const Entry& e) { return e.offset; }, tolerance, sweep);
      });
  std::sort(overlaps.begin(), overlaps.end(), [](const LineOverlap& a, const LineOverlap& b) {
    return a.second != b.second ? a.second < b.second : a.first < b.first;
  });
  return overlaps;
}

std::string describeLine(const PlanLine& line) {
  return "the line from (" + trimmed(line.startX, 3) + ", " + trimmed(line.startY, 3) + ") to (" +
         trimmed(line.endX, 3) + ", " + trimmed(line.endY, 3) + ")";
}

std::string readableLength(double millimetres) {
  if (millimetres >= 1e7) return trimmed(millimetres / 1e6, 3) + " km";
  if (millimetres >= 1e4) return trimmed(millimetres / 1e3, 3) + " m";
  return trimmed(millimetres, 1) + " mm";
}

std::optional<std::string> unlikelyUnits(double longest, double millimetresPerUnit,
                                         const std::string& units, bool unitsDeclared) {
  if (unitsDeclared || !(longest > 0) ||
      !(longest / millimetresPerUnit < kShortestPlausibleLongest)) {
    return std::nullopt;
  }
  return "every flashing line is shorter than " + trimmed(kShortestPlausibleLongest, 0) + " " +
         units + " (the longest " + trimmed(longest / millimetresPerUnit, 3) + " " + units +
         ") and the plan does not give its units ($INSUNITS): drawn in metres? give --units m";
}

std::string tooLongProblem(std::size_t count, double longest, const std::string& units) {
  return std::to_string(count) + (count == 1 ? " flashing line" : " flashing lines") +
         " longer than " + readableLength(kLongestPlausibleLine) + " (the longest " +
         readableLength(longest) + "), longer than a building: " +
         (units == "mm" ? std::string("a stray point, or a plan in units smaller than millimetres?")
          : units.empty() ? std::string("a plan drawn in millimetres read in larger units? check "
                                        "the plan's units (--units)")
                          : "a plan drawn in millimetres read in " + units + "? give --units mm");
}

bool planDeclaresUnits(const std::filesystem::path& plan) {
  try {
    dxf::GroupReader groups(plan);
    bool sectionName = false;
    bool inHeader = false;
    bool unitsNext = false;
    while (groups.next()) {
      const int code = groups.code();
      if (code == 0) {
        if (inHeader || groups.text() == "EOF") return false;
        sectionName = groups.text() == "SECTION";
      } else if (code == 2 && sectionName) {
        sectionName = false;
        inHeader = groups.text() == "HEADER";
      } else if (code == 9 && inHeader) {
        unitsNext = groups.text() == "$INSUNITS";
      } else if (code == 70 && inHeader && unitsNext) {
        return groups.number() != 0;
      }
    }
    return false;
  } catch (const std::exception&) {
    return true;
  }
}

void PlanLineCollector::add(std::size_t layer, const dxf::FlashingLine& line) {
  if (leftOutAsShort(line, layer, short_)) return;
  if (layers_.size() <= layer) {
    layers_.resize(layer + 1);
  }
  layers_[layer].push_back(onPlan(line));
}

void checkPlanLines(dxf::PlanTakeoff& takeoff, const PlanLineCollector& lines,
                    const std::filesystem::path& plan, bool unitsGiven) {
  countWithNoLength(takeoff, lines.shortSegments());
  double longest = 0;
  for (std::size_t layer = 0; layer < lines.layers().size(); ++layer) {
    const std::vector<PlanLine>& onLayer = lines.layers()[layer];
    const std::string& name = layer < takeoff.layers.size() ? takeoff.layers[layer].name : "";
    const std::vector<LineOverlap> overlaps = findOverlaps(onLayer);
    for (std::size_t i = 0; i < overlaps.size() && i < kMaxOverlapsListed; ++i) {
      const LineOverlap& overlap = overlaps[i];
      takeoff.warnings.push_back(
          {name, describeLine(onLayer[overlap.second]),
           "drawn twice: it lies on " + describeLine(onLayer[overlap.first]) + " for " +
               readableLength(overlap.length) + ", a flashing installed twice"});
    }
    if (overlaps.size() > kMaxOverlapsListed) {
      takeoff.warnings.push_back(
          {name, "the layer",
           std::to_string(overlaps.size() - kMaxOverlapsListed) + " more lines drawn twice"});
    }
    std::size_t tooLong = 0;
    const PlanLine* longestHere = nullptr;
    for (const PlanLine& line : onLayer) {
      const double length = lineLength(line);
      tooLong += length > kLongestPlausibleLine ? 1U : 0U;
      if (longestHere == nullptr || length > lineLength(*longestHere)) longestHere = &line;
    }
    if (longestHere != nullptr) {
      longest = std::max(longest, lineLength(*longestHere));
    }
    if (tooLong > 0) {
      takeoff.warnings.push_back(
          {name, describeLine(*longestHere),
           tooLongProblem(tooLong, lineLength(*longestHere), takeoff.units)});
    }
  }
  const double perUnit = dxf::millimetresPer(takeoff.units).value_or(1.0);
  const auto problem = unlikelyUnits(longest, perUnit, takeoff.units, unitsGiven);
  if (problem && !planDeclaresUnits(plan)) {
    takeoff.warnings.push_back({"", "the plan's units", *problem});
  }
}

}  // namespace kvm::workshop
