#pragma once

#include <memory>
#include <set>
#include <vector>

#include "coil/width_knapsack.h"

class ClpSimplex;

namespace kvm::coil {

// A sheet pattern as a column of the master problem: its length and the strips across it.
struct Column {
  double length = 0;
  StripCounts strips;
};

// The linear relaxation over the patterns found so far: minimise the coil length, every
// strip kind cut at least as often as demanded.
class PatternMaster {
 public:
  explicit PatternMaster(const std::vector<int>& demand);
  ~PatternMaster();
  PatternMaster(const PatternMaster&) = delete;
  PatternMaster& operator=(const PatternMaster&) = delete;

  void add(std::vector<Column> columns);
  void setDemand(const std::vector<int>& demand);
  void solve();  // throws CoilError when the solver does not reach an optimum

  double objective() const;
  std::vector<double> duals() const;
  std::vector<double> usage() const;  // per column, in the order added
  const std::vector<Column>& columns() const { return columns_; }
  bool has(const StripCounts& strips) const { return known_.contains(strips); }

 private:
  std::unique_ptr<ClpSimplex> model_;
  std::vector<Column> columns_;
  std::set<StripCounts> known_;
  bool boundsChanged_ = false;
  bool solvedOnce_ = false;
};

}  // namespace kvm::coil
