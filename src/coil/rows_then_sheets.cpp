#include "coil/rows_then_sheets.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <numeric>
#include <utility>

#include "coil/split_copies.h"

namespace kvm::coil {

namespace {

// Beyond these the knapsacks across cost more than the relaxation they stand beside; counted
// in work, not time, so that the same order always gets the same plan.
constexpr long long kMostPieces = 4000;
constexpr std::int64_t kMostKnapsackCells = 300'000'000;

struct LaidRow {
  int width = 0;
  int length = 0;  // grid units along
  SizeCounts pieces;
};

std::vector<LaidRow> rowsOf(const Instance& instance) {
  std::map<int, std::vector<std::size_t>> sizesByWidth;
  for (std::size_t i = 0; i < instance.demand.size(); ++i) {
    if (instance.demand[i] > 0) sizesByWidth[instance.widths[i]].push_back(i);
  }
  std::vector<LaidRow> rows;
  for (auto& [width, sizes] : sizesByWidth) {
    std::stable_sort(sizes.begin(), sizes.end(), [&](std::size_t a, std::size_t b) {
      return instance.lengths[a] > instance.lengths[b];
    });
    std::multimap<int, std::size_t> byLength;  // the width's rows by their length so far
    for (const std::size_t size : sizes) {
      const int length = instance.lengths[size];
      for (int piece = 0; piece < instance.demand[size]; ++piece) {
        // The fullest row the piece still fits.
        auto fits = byLength.upper_bound(instance.maxLength - length);
        std::size_t row = rows.size();
        if (fits == byLength.begin()) {
          rows.push_back({width, 0, {}});
        } else {
          row = (--fits)->second;
          byLength.erase(fits);
        }
        LaidRow& laid = rows[row];
        if (!laid.pieces.empty() && laid.pieces.back().first == size) {
          ++laid.pieces.back().second;
        } else {
          laid.pieces.emplace_back(size, 1);
        }
        laid.length += length;
        byLength.emplace(laid.length, row);
      }
    }
  }
  return rows;
}

// Rows alike on the sheet: their length and width, longest and then widest first.
using RowKind = std::pair<int, int>;
using RowsByKind = std::map<RowKind, std::vector<std::size_t>, std::greater<>>;

// The rows of the kinds left that cover most of `room` across, each as long as `length` at most.
std::vector<std::size_t> bestAcross(RowsByKind& left, int room, int length, std::int64_t& work) {
  struct Chunk {
    RowKind kind;
    int copies;
  };
  std::vector<Chunk> chunks;
  for (const auto& entry : left) {
    const RowKind& kind = entry.first;
    if (kind.first > length || kind.second > room) continue;
    splitCopies(static_cast<int>(entry.second.size()), [&chunks, &kind](int copies) {
      chunks.push_back({kind, copies});
    });
  }
  const auto cells = static_cast<std::size_t>(room) + 1;
  work += static_cast<std::int64_t>(chunks.size() * cells);
  if (work > kMostKnapsackCells) return {};
  std::vector<std::int64_t> best(cells, 0);
  std::vector<bool> taken(chunks.size() * cells, false);
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    const std::size_t across = static_cast<std::size_t>(chunks[k].kind.second) *
                               static_cast<std::size_t>(chunks[k].copies);
    if (across >= cells) continue;
    const std::int64_t area =
        static_cast<std::int64_t>(chunks[k].kind.first) * chunks[k].kind.second * chunks[k].copies;
    for (std::size_t c = cells - 1; c >= across; --c) {
      if (best[c - across] + area > best[c]) {
        best[c] = best[c - across] + area;
        taken[k * cells + c] = true;
      }
      if (c == across) break;
    }
  }
  std::vector<std::size_t> chosen;
  std::size_t c = cells - 1;
  for (std::size_t k = chunks.size(); k-- > 0;) {
    if (!taken[k * cells + c]) continue;
    std::vector<std::size_t>& rows = left.at(chunks[k].kind);
    for (int copy = 0; copy < chunks[k].copies; ++copy) {
      chosen.push_back(rows.back());
      rows.pop_back();
    }
    if (rows.empty()) left.erase(chunks[k].kind);
    c -= static_cast<std::size_t>(chunks[k].kind.second) *
         static_cast<std::size_t>(chunks[k].copies);
  }
  return chosen;
}

}  // namespace

std::vector<Cut> rowsThenSheets(const Instance& instance) {
  const long long pieces = std::accumulate(instance.demand.begin(), instance.demand.end(), 0LL);
  if (pieces > kMostPieces) return {};
  const std::vector<LaidRow> rows = rowsOf(instance);
  RowsByKind left;
  for (std::size_t r = rows.size(); r-- > 0;) {
    left[{rows[r].length, rows[r].width}].push_back(r);
  }
  std::vector<Cut> cuts;
  std::int64_t work = 0;
  while (!left.empty()) {
    const auto longest = left.begin();
    const RowKind kind = longest->first;
    std::vector<std::size_t> chosen{longest->second.back()};
    longest->second.pop_back();
    if (longest->second.empty()) left.erase(longest);
    const std::vector<std::size_t> across =
        bestAcross(left, instance.capacity - kind.second, kind.first, work);
    if (work > kMostKnapsackCells) return {};
    chosen.insert(chosen.end(), across.begin(), across.end());
    std::vector<Row> sheet;
    sheet.reserve(chosen.size());
    for (const std::size_t r : chosen) sheet.push_back({rows[r].width, rows[r].pieces});
    cuts.push_back({sheetOfRows(instance, std::move(sheet)), 1});
  }
  return cuts;
}

}  // namespace kvm::coil
