#include <gtest/gtest.h>

#include "platform/workshop/outputs/bill_costs.h"
#include "platform/workshop/outputs/shop_sheets.h"

namespace kvm::workshop {
namespace {

CoilOrder orderOf(const std::string& colour, double coilLength, double coilWidth) {
  CoilOrder order;
  order.group.colour = colour;
  order.group.coilWidth = coilWidth;
  order.plan.coilLength = coilLength;
  return order;
}

TEST(bill_costs_test, material_spreads_the_coil_with_its_waste_over_the_colour) {
  Prices prices;
  prices.sheet = {{"天蓝色/0.5", 40}, {"白灰/0.6", 30}};
  prices.perBendPerMetre = 0.8;
  BillCosts costs(prices, "0.5");
  // 10 m of a 1.25 m coil is 12.5 m² bought for 10 m² of flashing.
  costs.setCoil({orderOf("天蓝色", 10000, 1250), orderOf("白灰", 5000, 1000)},
                {{"天蓝色", 10.0}, {"白灰", 4.0}});
  ASSERT_TRUE(costs.materialRate("天蓝色"));
  EXPECT_DOUBLE_EQ(*costs.materialRate("天蓝色") * 10, 12.5 * 40);
  // 白灰 is priced for another thickness only.
  EXPECT_FALSE(costs.materialRate("白灰"));
  EXPECT_EQ(costs.unpriced(), std::vector<std::string>{"白灰/0.5"});
  EXPECT_DOUBLE_EQ(costs.folding(4, 2.5), 8.0);
  EXPECT_EQ(money(1234.565), "1234.57");
}

TEST(bill_costs_test, cutting_rows_group_pieces_by_length_with_their_lines) {
  CuttingPlan plan;
  for (const std::size_t line : {0U, 1U, 2U, 3U, 6U}) {
    plan.pieces.push_back({line, 4000});
  }
  plan.pieces.push_back({4, 1200});
  plan.pieces.push_back({5, 1200});
  plan.pieces.push_back({8, 1200});
  const std::vector<shop::CutRow> rows = cutRows(plan);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].pieceLength, 4000);
  EXPECT_EQ(rows[0].pieces, 5U);
  EXPECT_EQ(rows[0].lines, "1–4, 7");
  EXPECT_EQ(rows[1].lines, "5, 6, 9");
  EXPECT_DOUBLE_EQ(shop::sheetWeight(10, 0.5), 39.25);
}

}  // namespace
}  // namespace kvm::workshop
