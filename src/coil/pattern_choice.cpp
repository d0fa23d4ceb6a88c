#include "coil/pattern_choice.h"

#include <CbcModel.hpp>
#include <CbcSolver.hpp>
#include <CoinPackedMatrix.hpp>
#include <OsiClpSolverInterface.hpp>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace kvm::coil {

namespace {

// Enough for the pools of small orders, where rounding leaves the largest share of coil.
constexpr int kMaxNodes = 500;

}  // namespace

std::vector<int> choosePatterns(const std::vector<Column>& pool, const std::vector<int>& demand,
                                const std::vector<int>& start) {
  if (pool.empty()) return {};
  CoinPackedMatrix matrix(true, 0, 0);
  matrix.setDimensions(static_cast<int>(demand.size()), 0);
  std::vector<double> cost;
  for (const Column& column : pool) {
    std::vector<int> rows;
    std::vector<double> elements;
    for (const auto& [size, count] : column.sizes) {
      rows.push_back(static_cast<int>(size));
      elements.push_back(count);
    }
    matrix.appendCol(static_cast<int>(rows.size()), rows.data(), elements.data());
    cost.push_back(column.length);
  }
  const std::vector<double> lower(pool.size(), 0.0);
  const std::vector<double> upper(pool.size(), COIN_DBL_MAX);
  std::vector<double> rowLower(demand.size());
  std::transform(demand.begin(), demand.end(), rowLower.begin(),
                 [](int wanted) { return static_cast<double>(wanted); });
  const std::vector<double> rowUpper(demand.size(), COIN_DBL_MAX);
  OsiClpSolverInterface solver;
  solver.loadProblem(matrix, lower.data(), upper.data(), cost.data(), rowLower.data(),
                     rowUpper.data());
  for (int column = 0; column < static_cast<int>(pool.size()); ++column) solver.setInteger(column);
  solver.messageHandler()->setLogLevel(0);
  CbcModel model(solver);
  model.setLogLevel(0);
  model.messageHandler()->setLogLevel(0);
  if (start.size() == pool.size()) {
    std::vector<double> times(start.size());
    std::transform(start.begin(), start.end(), times.begin(),
                   [](int cut) { return static_cast<double>(cut); });
    double length = 0;
    for (std::size_t p = 0; p < pool.size(); ++p) length += pool[p].length * start[p];
    model.setBestSolution(times.data(), static_cast<int>(times.size()), length, true);
  }
  // The solver's own driver adds its cuts and heuristics; one thread and a node limit keep
  // the answer the same on every machine.
  CbcSolverUsefulData data;
  CbcMain0(model, data);
  const std::string nodes = std::to_string(kMaxNodes);
  const char* arguments[] = {"kavelmor",  "-log",        "0",      "-threads", "0",
                             "-maxNodes", nodes.c_str(), "-solve", "-quit"};
  CbcMain1(static_cast<int>(std::size(arguments)), arguments, model, nullptr, data);
  const double* best = model.bestSolution();
  if (best == nullptr) return {};
  std::vector<int> times(pool.size());
  for (std::size_t p = 0; p < pool.size(); ++p) {
    times[p] = static_cast<int>(std::lround(best[p]));
  }
  return times;
}

}  // namespace kvm::coil
