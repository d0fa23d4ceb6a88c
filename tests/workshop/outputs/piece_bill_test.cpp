#include <gtest/gtest.h>

#include <sstream>

#include "platform/workshop/outputs/piece_bill.h"

namespace kvm::workshop {
namespace {

// A flashing of the bill with the pieces its plan cuts, on lines of the given lengths.
struct Drawn {
  BillEntry entry;
  ProjectFlashing flashing;
  FlashingResult result;

  Drawn(std::size_t block, const std::u16string& colour, int32_t width,
        const std::vector<int64_t>& pieces, const std::vector<double>& lines) {
    entry.name = u"包角" + std::u16string(1, static_cast<char16_t>(u'A' + block));
    entry.color = colour;
    entry.developedWidth = width;
    for (const double length : lines) flashing.lines.push_back({0, 0, length, 0});
    result.block = block;
    result.entry = &entry;
    result.flashing = &flashing;
    for (const int64_t length : pieces) result.plan.pieces.push_back({0, length});
    // The component's estimate, which the bill of pieces must not take.
    result.cutLength = 99999;
    result.area = 99;
  }
};

TEST(piece_bill_test, rows_and_totals_are_the_pieces_cut_and_add_up_as_printed) {
  const Drawn gable(0, u"天蓝色", 500, {4000, 4000, 1700, 4000, 4000, 1700}, {7400, 7400.4});
  const Drawn sill(1, u"天蓝色", 333, {3100, 3100, 2500}, {3000, 3000, 2400});
  const Drawn corner(2, u"白灰", 250, {1001}, {900});
  PieceBill bill("0.5");
  for (const Drawn* drawn : {&gable, &sill, &corner}) bill.add(drawn->result, 2);

  const BillRow& first = bill.rows()[0];
  EXPECT_EQ(first.pieces, 6U);
  EXPECT_DOUBLE_EQ(first.pieceLength, 19.4);  // 4 × 4000 + 2 × 1700
  EXPECT_DOUBLE_EQ(first.area, 9.7);
  EXPECT_DOUBLE_EQ(first.weight, 38.07);  // 9.7 × 0.5 × 7.85 = 38.0725
  EXPECT_EQ(first.lines, 2U);
  EXPECT_DOUBLE_EQ(first.lineLength, 14.8);
  ASSERT_EQ(first.cuts.size(), 2U);
  EXPECT_EQ(first.cuts[0], (std::pair<int64_t, std::size_t>{4000, 4}));
  EXPECT_EQ(first.cuts[1], (std::pair<int64_t, std::size_t>{1700, 2}));
  // 8.7 m of 333 mm is 2.8971 m², printed 2.897: the totals sum the printed rows.
  EXPECT_DOUBLE_EQ(bill.rows()[1].area, 2.897);

  const std::vector<BillTotal> totals = bill.colourTotals();
  ASSERT_EQ(totals.size(), 2U);
  EXPECT_EQ(totals[0].colour, "天蓝色");
  EXPECT_EQ(totals[0].pieces, 9U);
  EXPECT_DOUBLE_EQ(totals[0].area, 12.597);
  EXPECT_DOUBLE_EQ(totals[0].weight, 38.07 + 11.37);
  EXPECT_DOUBLE_EQ(bill.total().area, 12.597 + 0.25);
  EXPECT_EQ(bill.total().pieces, 10U);
  EXPECT_FALSE(bill.total().cost);
}

TEST(piece_bill_test, the_coil_is_spread_by_area_and_an_unpriced_colour_leaves_its_totals_open) {
  const Drawn gable(0, u"天蓝色", 500, {4000, 4000}, {7800});
  const Drawn sill(1, u"天蓝色", 250, {4000, 4000}, {7800});
  const Drawn corner(2, u"白灰", 250, {2000}, {2000});
  PieceBill bill("0.5");
  for (const Drawn* drawn : {&gable, &sill, &corner}) bill.add(drawn->result, 3);
  Prices prices;
  prices.sheet = {{"天蓝色/0.5", 40}};
  prices.perBendPerMetre = 0.5;
  BillCosts costs(prices, "0.5");
  CoilOrder blue;
  blue.group.colour = "天蓝色";
  blue.group.coilWidth = 1000;
  blue.plan.coilLength = 8000;  // 8 m² of coil for 6 m² of pieces
  costs.setCoil({blue}, bill.areaByColour());
  bill.price(costs);

  // 4 m² of the 6 take two thirds of 8 m² at 40; folding 3 bends × 8 m × 0.5.
  EXPECT_DOUBLE_EQ(*bill.rows()[0].material, 213.33);
  EXPECT_DOUBLE_EQ(*bill.rows()[1].material, 106.67);
  EXPECT_DOUBLE_EQ(*bill.rows()[0].folding, 12);
  EXPECT_DOUBLE_EQ(*bill.rows()[0].cost, 225.33);
  EXPECT_FALSE(bill.rows()[2].material);
  EXPECT_DOUBLE_EQ(*bill.rows()[2].folding, 3);

  const std::vector<BillTotal> totals = bill.colourTotals();
  EXPECT_DOUBLE_EQ(*totals[0].material, 320);
  EXPECT_DOUBLE_EQ(*totals[0].cost, 344);
  EXPECT_FALSE(totals[1].material);
  EXPECT_FALSE(totals[1].cost);
  EXPECT_DOUBLE_EQ(*totals[1].folding, 3);
  EXPECT_FALSE(bill.total().cost);

  std::ostringstream csv;
  writeBillCsv(csv, bill, "车间 2026.12.8");
  const std::string text = csv.str();
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0U);
  EXPECT_NE(
      text.find("1,包角A,天蓝色,0.5,500,3,1,7.800,2,8.000,4.000,15.70,213.33,12.00,225.33\r\n"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("total,,白灰,0.5,,,1,2.000,1,2.000,0.500,1.96,,3.00,\r\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("total,车间 2026.12.8,,,,,3,17.600,5,18.000,6.500,25.51,,27.00,\r\n"),
            std::string::npos)
      << text;
}

TEST(piece_bill_test, the_coil_to_order_is_weighed_from_its_area_not_the_rounded_one) {
  CoilOrder order;
  order.group.colour = "白灰";
  order.group.thickness = 0.8;
  order.group.coilWidth = 1250;
  order.plan.coilLength = 19250;  // 24.0625 m², 151.1125 kg
  const CoilNeed need = coilNeed(order);
  EXPECT_DOUBLE_EQ(need.length, 19.25);
  EXPECT_NEAR(need.area, 24.063, 1e-9);
  // 24.063 m² weighed again would be 151.12 kg.
  EXPECT_NEAR(need.weight, 151.11, 1e-9);

  // 64.1925 m² rounds up as coil_total.csv prints it, although 64.1925 × 1000 is just below
  // 64192.5 in binary.
  order.plan.coilLength = 51354;
  EXPECT_NEAR(coilNeed(order).area, 64.193, 1e-9);
}

}  // namespace
}  // namespace kvm::workshop
