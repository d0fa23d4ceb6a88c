#pragma once

#include <memory>
#include <set>
#include <vector>

#include "coil/row_pricing.h"

class ClpSimplex;

namespace kvm::coil {

// The linear relaxation over the patterns found so far: minimise the coil length, every
// piece size cut at least as often as demanded.
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
  bool has(const SizeCounts& sizes) const { return known_.contains(sizes); }

 private:
  std::unique_ptr<ClpSimplex> model_;
  std::vector<Column> columns_;
  std::set<SizeCounts> known_;
  bool boundsChanged_ = false;
  bool solvedOnce_ = false;
};

}  // namespace kvm::coil
