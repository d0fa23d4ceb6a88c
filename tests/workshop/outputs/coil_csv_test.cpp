#include "platform/workshop/outputs/coil_csv.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kvm::workshop {
namespace {

std::vector<CoilOrder> twoColours() {
  CoilOrder blue{
      {"天蓝色", 0.5, 1250, 10, {{"檐口包角", 600, 3000, 2}, {"A, \"B\"", 400, 1000, 3}}}, {}};
  // The second row carries 2 × 1000 of the 400 pieces; the rest of it is the sheet's waste.
  blue.plan.patterns = {{1, 3000, {{600, {{0, 1}}}, {600, {{0, 1}}}}},
                        {1, 3000, {{400, {{1, 2}}}, {400, {{1, 1}}}}}};
  blue.plan.sheets = 2;
  blue.plan.coilLength = 6000;
  blue.plan.coilArea = 7.5;
  blue.plan.piecesArea = 4.8;
  blue.plan.wastePercent = 36;
  CoilOrder white{{"白色", 0.6, 1000, 0, {{"C", 312.5, 2500, 3}}}, {}};
  white.plan.patterns = {{1, 2500, {{312.5, {{0, 1}}}, {312.5, {{0, 1}}}, {312.5, {{0, 1}}}}}};
  white.plan.sheets = 1;
  white.plan.coilLength = 2500;
  white.plan.coilArea = 2.5;
  white.plan.piecesArea = 2.34375;
  white.plan.wastePercent = 6.25;
  return {blue, white};
}

const char* const kExpected =
    "\xEF\xBB\xBF"
    "colour,thickness_mm,coil_width_mm,trim_mm,pattern,sheets,sheet_length_mm,row,row_width_mm,"
    "flashing,piece_length_mm,pieces\r\n"
    "天蓝色,0.5,1250,10,1,1,3000,1,600,檐口包角,3000,1\r\n"
    "天蓝色,0.5,1250,10,1,1,3000,2,600,檐口包角,3000,1\r\n"
    "天蓝色,0.5,1250,10,2,1,3000,1,400,\"A, \"\"B\"\"\",1000,2\r\n"
    "天蓝色,0.5,1250,10,2,1,3000,2,400,\"A, \"\"B\"\"\",1000,1\r\n"
    "白色,0.6,1000,0,1,1,2500,1,312.5,C,2500,1\r\n"
    "白色,0.6,1000,0,1,1,2500,2,312.5,C,2500,1\r\n"
    "白色,0.6,1000,0,1,1,2500,3,312.5,C,2500,1\r\n";

TEST(coil_csv_test, one_row_per_piece_kind_on_each_row_of_each_pattern) {
  std::ostringstream out;
  writeCoilCsv(out, twoColours());
  EXPECT_EQ(out.str(), kExpected);
}

// The coil to order per colour: weight at 7.85 kg per m² and mm, waste of the coil's area.
TEST(coil_csv_test, coil_totals_give_one_row_per_colour_and_thickness) {
  std::ostringstream out;
  writeCoilTotalCsv(out, twoColours());
  EXPECT_EQ(out.str(),
            "\xEF\xBB\xBF"
            "colour,thickness_mm,coil_width_mm,trim_mm,sheets,coil_length_m,coil_area_m2,"
            "coil_weight_kg,pieces_area_m2,waste_percent\r\n"
            "天蓝色,0.5,1250,10,2,6,7.5,29.438,4.8,36.00\r\n"
            "白色,0.6,1000,0,1,2.5,2.5,11.775,2.344,6.25\r\n");
}

TEST(coil_csv_test, the_file_appears_whole_or_not_at_all) {
  const auto directory = std::filesystem::temp_directory_path() / "kvm_coil_csv_test";
  std::filesystem::remove_all(directory);
  std::filesystem::create_directories(directory);
  const auto file = directory / "coil.csv";
  writeCoilCsv(file, twoColours());
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), kExpected);
  EXPECT_FALSE(std::filesystem::exists(directory / "coil.csv.part"));

  EXPECT_THROW(writeCoilCsv(directory / "missing" / "coil.csv", twoColours()), std::runtime_error);
  std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace kvm::workshop
