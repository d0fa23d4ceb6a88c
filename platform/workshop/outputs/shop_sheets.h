#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/flashing.h"
#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/outputs/bill_costs.h"
#include "platform/workshop/outputs/piece_bill.h"
#include "shop/shop_book.h"

namespace kvm::workshop {

// Gathers the shop drawings' book as the blocks are drawn: a sheet per flashing with its
// cutting plan grouped by piece length; the bill's figures and the coil once it is ordered.
class ShopSheets {
 public:
  explicit ShopSheets(shop::Paper paper) { book_.paper = paper; }

  // `profile` is the flashing's database record, null when the database has none.
  void add(const FlashingResult& result, const Flashing* profile);

  // The whole book: header, the figures of `bill` per flashing and per colour, costs where
  // priced (the cover's only), and the coil order.
  [[nodiscard]] shop::ShopBook finish(const std::string& project, const std::string& date,
                                      const std::string& thickness, std::vector<CoilOrder> coil,
                                      const PieceBill& bill, const BillCosts* costs);

 private:
  shop::ShopBook book_;
};

// The cutting plan's rows for one flashing: per piece length, the whole pieces and the lines
// (numbered from 1, runs written as "1–4, 7") they go on.
std::vector<shop::CutRow> cutRows(const CuttingPlan& plan);

}  // namespace kvm::workshop
