#include "coil/coil_order.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <map>
#include <utility>

#include "coil/coil_instance.h"
#include "coil/column_generation.h"
#include "coil/pattern_master.h"
#include "coil/pattern_order.h"
#include "coil/row_pricing.h"
#include "coil/rows_then_sheets.h"
#include "coil/sheet_rounding.h"
#include "coil/small_orders.h"

namespace kvm {

namespace {

using coil::coilLengthOf;
using coil::Column;
using coil::Cut;
using coil::cutGreedily;
using coil::generateColumns;
using coil::Instance;
using coil::instanceOf;
using coil::mm;
using coil::PatternMaster;
using coil::Relaxation;
using coil::roundedCuts;
using coil::Row;
using coil::RowPricing;

constexpr double kCloseEnough = 1.01;
constexpr double kRowsFirstEnough = 1.02;
constexpr double kSmallOrderGap = 1.03;
constexpr std::size_t kSmallOrderKinds = 200;

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
  plan.areaBound = pieceArea / group.usableWidth();
  // Without a relaxation the area bound is the best known.
  plan.lpBound = relaxation.bound > 0 ? relaxation.bound : plan.areaBound;
  plan.boundKind = relaxation.bound > 0 ? (relaxation.converged ? BoundKind::LinearRelaxation
                                                                : BoundKind::Lagrangian)
                                        : BoundKind::None;
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

// Piece area over the usable width: no plan is shorter.
double areaBoundOf(const CoilGroup& group) {
  double area = 0;
  for (const CoilPiece& piece : group.pieces) area += piece.width * piece.length * piece.count;
  return area / group.usableWidth();
}

CoilPlan planCoil(const CoilGroup& group) {
  const Instance instance = instanceOf(group);
  if (instance.demand.empty()) return {};
  // Rows first is cheap. Where it comes within 2 % of the area bound the relaxation cannot save
  // more than that, and on orders of many single narrow pieces it costs tens of seconds.
  std::vector<Cut> rowsFirst = coil::rowsThenSheets(instance);
  const double rowsFirstLength =
      rowsFirst.empty() ? std::numeric_limits<double>::infinity() : coilLengthOf(rowsFirst);
  if (rowsFirstLength <= kRowsFirstEnough * areaBoundOf(group)) {
    return planOf(group, instance, std::move(rowsFirst), {});
  }
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

  std::vector<Cut> cuts = roundedCuts(master, pricing, instance, kCloseEnough * relaxation.bound,
                                      false, rowsFirstLength);
  // The greedy alone now and then beats the rounding where integrality dominates: on small
  // orders, where a sheet is much of the bound.
  if (coilLengthOf(cuts) > kCloseEnough * relaxation.bound) {
    std::vector<int> remaining = instance.demand;
    std::vector<Cut> greedy;
    cutGreedily(instance, pricing, remaining, greedy);
    if (coilLengthOf(greedy) < coilLengthOf(cuts)) cuts = std::move(greedy);
  }
  if (rowsFirstLength < coilLengthOf(cuts)) cuts = std::move(rowsFirst);
  // On small orders whole sheets weigh: more ways to a plan, and a stronger bound.
  Relaxation bound = relaxation;
  if (coilLengthOf(cuts) > kSmallOrderGap * relaxation.bound &&
      instance.demand.size() <= kSmallOrderKinds) {
    bound = coil::improveSmallOrder(instance, master, pricing, relaxation,
                                    kCloseEnough * relaxation.bound, cuts);
  }
  return planOf(group, instance, std::move(cuts), bound);
}

}  // namespace kvm
