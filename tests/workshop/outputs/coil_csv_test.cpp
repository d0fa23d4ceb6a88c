#include "platform/workshop/outputs/coil_csv.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kvm::workshop {
namespace {

std::vector<CoilOrder> twoColours() {
  CoilOrder blue{
      {"天蓝色", 0.5, 1250, 10, {{"檐口包角", 600, 3000, 2}, {"A, \"B\"", 400, 1000, 3}}}, {}};
  blue.plan.patterns = {{1, 3000, {{0, 2}}}, {1, 1000, {{1, 3}}}};
  CoilOrder white{{"白色", 0.6, 1000, 0, {{"C", 312.5, 2500, 3}}}, {}};
  white.plan.patterns = {{1, 2500, {{0, 3}}}};
  return {blue, white};
}

const char* const kExpected =
    "\xEF\xBB\xBF"
    "colour,thickness_mm,coil_width_mm,trim_mm,pattern,sheets,sheet_length_mm,flashing,"
    "strip_width_mm,strip_length_mm,strips\r\n"
    "天蓝色,0.5,1250,10,1,1,3000,檐口包角,600,3000,2\r\n"
    "天蓝色,0.5,1250,10,2,1,1000,\"A, \"\"B\"\"\",400,1000,3\r\n"
    "白色,0.6,1000,0,1,1,2500,C,312.5,2500,3\r\n";

TEST(coil_csv_test, one_row_per_strip_kind_on_each_pattern) {
  std::ostringstream out;
  writeCoilCsv(out, twoColours());
  EXPECT_EQ(out.str(), kExpected);
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
