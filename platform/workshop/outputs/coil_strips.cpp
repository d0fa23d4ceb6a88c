#include "platform/workshop/outputs/coil_strips.h"

#include <algorithm>

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::workshop {

void CoilStrips::add(const FlashingResult& result) {
  const BillEntry& entry = *result.entry;
  const std::string name = toUtf8(entry.name);
  if (entry.developedWidth <= 0) {
    if (!result.plan.pieces.empty()) withoutWidth_.push_back(name);
    return;
  }
  const std::string colourName = toUtf8(entry.color);
  auto colour = std::find_if(colours_.begin(), colours_.end(), [&colourName](const Colour& each) {
    return each.colour == colourName;
  });
  if (colour == colours_.end()) {
    colour = colours_.insert(colours_.end(), Colour{colourName, {}, {}});
  }
  const auto width = static_cast<double>(entry.developedWidth);
  for (const PlannedPiece& piece : result.plan.pieces) {
    const auto length = static_cast<double>(piece.length);
    const auto [place, added] =
        colour->index.try_emplace({name, width, length}, colour->pieces.size());
    if (added) {
      colour->pieces.push_back({name, width, length, 0});
    }
    ++colour->pieces[place->second].count;
  }
}

std::vector<CoilOrder> CoilStrips::order(const CoilStock& coil, double thickness) const {
  std::vector<CoilOrder> orders;
  for (const Colour& colour : colours_) {
    if (colour.pieces.empty()) continue;
    CoilOrder order;
    order.group = {colour.colour, thickness, coil.width, coil.trim, colour.pieces, coil.maxSheet};
    order.plan = planCoil(order.group);
    orders.push_back(std::move(order));
  }
  return orders;
}

void reportCoilOrders(std::ostream& progress, const std::vector<CoilOrder>& orders) {
  for (const CoilOrder& order : orders) {
    const CoilPlan& plan = order.plan;
    const double kilograms = plan.coilArea * order.group.thickness * 7.85;
    const bool lp = plan.lpBound >= plan.areaBound;
    progress << "Coil " << order.group.colour << " " << toUtf8(formatUpTo(order.group.thickness, 3))
             << " mm × " << toUtf8(formatUpTo(order.group.coilWidth, 1))
             << " mm: " << toUtf8(formatFixed(plan.coilLength / 1000, 2)) << " m, "
             << toUtf8(formatFixed(plan.coilArea, 2)) << " m², "
             << toUtf8(formatFixed(kilograms, 1)) << " kg in " << plan.sheets
             << (plan.sheets == 1 ? " sheet" : " sheets") << " of " << plan.patterns.size()
             << (plan.patterns.size() == 1 ? " pattern" : " patterns") << ", waste "
             << toUtf8(formatFixed(plan.wastePercent, 1)) << " %, "
             << toUtf8(formatFixed(plan.gapPercent, 1)) << " % over "
             << (lp ? boundName(plan.boundKind) : "the area bound") << " "
             << toUtf8(formatFixed(std::max(plan.lpBound, plan.areaBound) / 1000, 2)) << " m\n";
  }
}

}  // namespace kvm::workshop
