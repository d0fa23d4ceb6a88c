#include "coil/capped_bound.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "coil/split_copies.h"

namespace kvm::coil {

namespace {

// 0/1 knapsack step: `copies` pieces of `length` units worth `value` each, taken together.
void addChunk(std::vector<double>& best, int length, int copies, double value) {
  const auto room = static_cast<std::size_t>(length) * static_cast<std::size_t>(copies);
  const double worth = value * copies;
  for (std::size_t c = best.size(); c-- > room;) {
    best[c] = std::max(best[c], best[c - room] + worth);
  }
}

// The rows of one width: for k rows of every sheet length, an upper bound on their value.
struct WidthBound {
  int width = 0;
  int rows = 0;               // the most rows of this width a sheet can usefully have
  std::vector<double> value;  // [length * rows + (k - 1)], k = 1..rows
  double at(int length, int k) const {
    return value[static_cast<std::size_t>(length) * static_cast<std::size_t>(rows) +
                 static_cast<std::size_t>(k - 1)];
  }
};

WidthBound boundWidth(const SizeGrid& sizes, int width, const std::vector<std::size_t>& members,
                      std::span<const double> values, std::span<const int> caps) {
  WidthBound bound;
  bound.width = width;
  long long pieces = 0;
  std::vector<std::size_t> useful;
  for (const std::size_t size : members) {
    if (values[size] > 0 && caps[size] > 0 && sizes.lengths[size] <= sizes.maxLength) {
      useful.push_back(size);
      pieces += caps[size];
    }
  }
  bound.rows = static_cast<int>(std::min<long long>(pieces, sizes.capacity / width));
  if (bound.rows <= 0) return bound;
  std::sort(useful.begin(), useful.end(),
            [&](std::size_t a, std::size_t b) { return sizes.lengths[a] < sizes.lengths[b]; });
  const auto cells = static_cast<std::size_t>(sizes.maxLength) + 1;
  // One row: every length at once.
  std::vector<double> row(cells, 0.0);
  for (const std::size_t size : useful) {
    splitCopies(std::min(caps[size], sizes.maxLength / sizes.lengths[size]),
                [&](int copies) { addChunk(row, sizes.lengths[size], copies, values[size]); });
  }
  // All rows as one knapsack, the pieces added as the sheet grows long enough to hold them.
  std::vector<double> joined(
      static_cast<std::size_t>(sizes.maxLength) * static_cast<std::size_t>(bound.rows) + 1, 0.0);
  bound.value.assign(cells * static_cast<std::size_t>(bound.rows), 0.0);
  std::size_t next = 0;
  for (int length = 1; length <= sizes.maxLength; ++length) {
    for (; next < useful.size() && sizes.lengths[useful[next]] <= length; ++next) {
      const std::size_t size = useful[next];
      splitCopies(caps[size],
                  [&](int copies) { addChunk(joined, sizes.lengths[size], copies, values[size]); });
    }
    for (int k = 1; k <= bound.rows; ++k) {
      const auto all = static_cast<std::size_t>(length) * static_cast<std::size_t>(k);
      bound.value[static_cast<std::size_t>(length) * static_cast<std::size_t>(bound.rows) +
                  static_cast<std::size_t>(k - 1)] =
          std::min(k * row[static_cast<std::size_t>(length)], joined[all]);
    }
  }
  return bound;
}

// The pieces of the best knapsack of `room` units over the given sizes, each at most
// min(cap, fits) times, with pieces no longer than `longest`.
void bestPieces(const SizeGrid& sizes, const std::vector<std::size_t>& members,
                std::span<const double> values, std::span<const int> caps, int room, int longest,
                std::map<std::size_t, int>& counts) {
  struct Chunk {
    std::size_t size;
    int copies;
  };
  std::vector<Chunk> chunks;
  for (const std::size_t size : members) {
    if (values[size] <= 0 || caps[size] <= 0 || sizes.lengths[size] > longest) continue;
    splitCopies(std::min(caps[size], room / sizes.lengths[size]), [&](int copies) {
      chunks.push_back({size, copies});
    });
  }
  const auto cells = static_cast<std::size_t>(room) + 1;
  std::vector<double> best(cells, 0.0);
  std::vector<std::vector<bool>> taken(chunks.size(), std::vector<bool>(cells, false));
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    const auto length = static_cast<std::size_t>(sizes.lengths[chunks[k].size]) *
                        static_cast<std::size_t>(chunks[k].copies);
    const double value = values[chunks[k].size] * chunks[k].copies;
    for (std::size_t c = cells; c-- > length;) {
      if (best[c - length] + value > best[c] + 1e-12) {
        best[c] = best[c - length] + value;
        taken[k][c] = true;
      }
    }
  }
  std::size_t c = cells - 1;
  for (std::size_t k = chunks.size(); k-- > 0;) {
    if (taken[k][c]) {
      counts[chunks[k].size] += chunks[k].copies;
      c -= static_cast<std::size_t>(sizes.lengths[chunks[k].size]) *
           static_cast<std::size_t>(chunks[k].copies);
    }
  }
}

// The best choice of rows across the coil at one sheet length: for each width how many rows.
double acrossAt(const std::vector<WidthBound>& widths, int length, int capacity,
                std::vector<int>* rows) {
  const auto cells = static_cast<std::size_t>(capacity) + 1;
  std::vector<std::vector<double>> best(widths.size() + 1, std::vector<double>(cells, 0.0));
  for (std::size_t g = 0; g < widths.size(); ++g) {
    best[g + 1] = best[g];
    for (int k = 1; k <= widths[g].rows; ++k) {
      const auto room = static_cast<std::size_t>(k) * static_cast<std::size_t>(widths[g].width);
      const double value = widths[g].at(length, k);
      for (std::size_t c = room; c < cells; ++c) {
        best[g + 1][c] = std::max(best[g + 1][c], best[g][c - room] + value);
      }
    }
  }
  if (rows != nullptr) {
    rows->assign(widths.size(), 0);
    std::size_t c = cells - 1;
    for (std::size_t g = widths.size(); g-- > 0;) {
      for (int k = widths[g].rows; k >= 1; --k) {
        const auto room = static_cast<std::size_t>(k) * static_cast<std::size_t>(widths[g].width);
        if (room <= c && best[g][c - room] + widths[g].at(length, k) >= best[g + 1][c] - 1e-9) {
          (*rows)[g] = k;
          c -= room;
          break;
        }
      }
    }
  }
  return best.back().back();
}

}  // namespace

CappedPrice priceCapped(const SizeGrid& sizes, std::span<const double> values,
                        std::span<const int> caps) {
  std::map<int, std::vector<std::size_t>> byWidth;
  for (std::size_t i = 0; i < sizes.widths.size(); ++i) byWidth[sizes.widths[i]].push_back(i);
  std::vector<WidthBound> widths;
  std::vector<const std::vector<std::size_t>*> membersOf;
  for (const auto& [width, members] : byWidth) {
    if (width > sizes.capacity) continue;
    widths.push_back(boundWidth(sizes, width, members, values, caps));
    membersOf.push_back(&members);
  }
  // Per sheet length, the densest rows filling the width bound it; the exact choice across is
  // worked out in the order of that bound until no length left can beat the best found.
  std::vector<std::pair<double, int>> lengths;
  for (int length = 1; length <= sizes.maxLength; ++length) {
    double density = 0;  // value per unit across
    bool changes = false;
    for (const WidthBound& width : widths) {
      for (int k = 1; k <= width.rows; ++k) {
        density = std::max(density, width.at(length, k) / (k * width.width));
        changes = changes || width.at(length, k) > width.at(length - 1, k) + 1e-12;
      }
    }
    // The value only grows with the length: only where it grows can the value per mm peak.
    if (changes) {
      lengths.emplace_back(density * sizes.capacity / (length * sizes.grid), length);
    }
  }
  std::sort(lengths.begin(), lengths.end(), std::greater<>());
  CappedPrice price;
  int bestLength = 0;
  for (const auto& [bound, length] : lengths) {
    if (bound <= price.steepest) break;
    const double ratio = acrossAt(widths, length, sizes.capacity, nullptr) / (length * sizes.grid);
    if (ratio > price.steepest) {
      price.steepest = ratio;
      bestLength = length;
    }
  }
  if (bestLength == 0) return price;
  std::vector<int> rows;
  acrossAt(widths, bestLength, sizes.capacity, &rows);
  std::map<std::size_t, int> counts;
  for (std::size_t g = 0; g < widths.size(); ++g) {
    const int k = rows[g];
    if (k == 0) continue;
    // The pieces of whichever of the two values is the smaller.
    std::map<std::size_t, int> row;
    bestPieces(sizes, *membersOf[g], values, caps, bestLength, bestLength, row);
    double rowValue = 0;
    for (const auto& [size, count] : row) rowValue += values[size] * count;
    if (k * rowValue <= widths[g].at(bestLength, k) + 1e-9) {
      for (const auto& [size, count] : row) counts[size] += k * count;
    } else {
      bestPieces(sizes, *membersOf[g], values, caps, k * bestLength, bestLength, counts);
    }
  }
  price.sheet.length = bestLength * sizes.grid;
  price.sheet.sizes.assign(counts.begin(), counts.end());
  return price;
}

}  // namespace kvm::coil
