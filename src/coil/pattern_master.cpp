#include "coil/pattern_master.h"

#include <ClpSimplex.hpp>
#include <algorithm>

#include "coil/coil_order.h"

namespace kvm::coil {

PatternMaster::PatternMaster(const std::vector<int>& demand)
    : model_(std::make_unique<ClpSimplex>()) {
  model_->setLogLevel(0);
  model_->setOptimizationDirection(1);
  model_->resize(static_cast<int>(demand.size()), 0);
  for (std::size_t row = 0; row < demand.size(); ++row) {
    model_->setRowLower(static_cast<int>(row), demand[row]);
    model_->setRowUpper(static_cast<int>(row), COIN_DBL_MAX);
  }
}

PatternMaster::~PatternMaster() = default;

void PatternMaster::add(std::vector<Column> columns) {
  std::vector<double> lower(columns.size(), 0.0);
  std::vector<double> upper(columns.size(), COIN_DBL_MAX);
  std::vector<double> cost;
  std::vector<CoinBigIndex> starts{0};
  std::vector<int> rows;
  std::vector<double> elements;
  for (const Column& column : columns) {
    cost.push_back(column.length);
    for (const auto& [size, count] : column.sizes) {
      rows.push_back(static_cast<int>(size));
      elements.push_back(count);
    }
    starts.push_back(static_cast<CoinBigIndex>(rows.size()));
  }
  model_->addColumns(static_cast<int>(columns.size()), lower.data(), upper.data(), cost.data(),
                     starts.data(), rows.data(), elements.data());
  for (Column& column : columns) {
    known_.insert(column.sizes);
    columns_.push_back(std::move(column));
  }
}

void PatternMaster::setDemand(const std::vector<int>& demand) {
  for (std::size_t row = 0; row < demand.size(); ++row) {
    model_->setRowLower(static_cast<int>(row), demand[row]);
  }
  boundsChanged_ = true;
}

void PatternMaster::solve() {
  // New columns keep the basis primal feasible, new demands keep it dual feasible.
  if (solvedOnce_ && boundsChanged_) {
    model_->dual();
  } else {
    model_->primal();
  }
  solvedOnce_ = true;
  boundsChanged_ = false;
  if (model_->status() != 0) {
    model_->primal();
    if (model_->status() != 0) {
      throw CoilError("the coil order's linear program found no optimum");
    }
  }
}

double PatternMaster::objective() const {
  return model_->objectiveValue();
}

std::vector<double> PatternMaster::duals() const {
  const double* values = model_->dualRowSolution();
  std::vector<double> duals(values, values + model_->numberRows());
  for (double& dual : duals) dual = std::max(dual, 0.0);
  return duals;
}

std::vector<double> PatternMaster::usage() const {
  const double* values = model_->primalColumnSolution();
  return {values, values + model_->numberColumns()};
}

}  // namespace kvm::coil
