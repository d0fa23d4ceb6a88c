#include "platform/workshop/outputs/bill_costs.h"

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::workshop {

BillCosts::BillCosts(Prices prices, std::string thickness)
    : prices_(std::move(prices)), thickness_(std::move(thickness)) {}

void BillCosts::setCoil(const std::vector<CoilOrder>& orders,
                        const std::map<std::string, double>& flashingArea) {
  for (const CoilOrder& order : orders) {
    const std::string& colour = order.group.colour;
    colours_.push_back(colour);
    const auto price = prices_.sheet.find(colour + "/" + thickness_);
    const auto area = flashingArea.find(colour);
    if (price == prices_.sheet.end() || area == flashingArea.end() || !(area->second > 0)) {
      continue;
    }
    const double coilArea = order.plan.coilLength * order.group.coilWidth / 1e6;
    rates_[colour] = price->second * coilArea / area->second;
  }
}

std::optional<double> BillCosts::materialRate(const std::string& colour) const {
  const auto rate = rates_.find(colour);
  return rate == rates_.end() ? std::nullopt : std::optional<double>(rate->second);
}

std::vector<std::string> BillCosts::unpriced() const {
  std::vector<std::string> names;
  for (const std::string& colour : colours_) {
    if (!prices_.sheet.contains(colour + "/" + thickness_))
      names.push_back(colour + "/" + thickness_);
  }
  return names;
}

std::string money(double amount) {
  return toUtf8(formatFixed(amount, 2));
}

}  // namespace kvm::workshop
