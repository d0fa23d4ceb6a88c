#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/codepage.h"
#include "platform/dxf/dxf_writer.h"
#include "tests/storage/temp_folder.h"

namespace kvm::dxf {
namespace {

using Pair = std::pair<int, std::string>;

// The group code / value pairs of a written file.
std::vector<Pair> readPairs(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<Pair> pairs;
  std::string code;
  std::string value;
  while (std::getline(in, code) && std::getline(in, value)) {
    EXPECT_EQ(code.back(), '\r');
    EXPECT_EQ(value.back(), '\r');
    pairs.emplace_back(std::stoi(code), value.substr(0, value.size() - 1));
  }
  return pairs;
}

// The pairs of the entities section, without its own markers.
std::vector<Pair> entities(const std::vector<Pair>& pairs) {
  std::size_t begin = 0;
  for (std::size_t i = 0; i + 1 < pairs.size(); ++i) {
    if (pairs[i] == Pair{2, "ENTITIES"}) begin = i + 1;
  }
  std::vector<Pair> result;
  for (std::size_t i = begin; i < pairs.size() && pairs[i] != Pair{0, "ENDSEC"}; ++i) {
    result.push_back(pairs[i]);
  }
  return result;
}

std::string headerValue(const std::vector<Pair>& pairs, const std::string& name, int code) {
  for (std::size_t i = 0; i + 1 < pairs.size(); ++i) {
    if (pairs[i] == Pair{9, name}) {
      for (std::size_t j = i + 1; j < pairs.size() && pairs[j].first != 9; ++j) {
        if (pairs[j].first == code) return pairs[j].second;
      }
    }
  }
  return "(none)";
}

Tables billTables() {
  return {{{u"0", 7}, {u"BJ-清单", 7}}, {{u"Standard", "txt", ""}, {u"HZTXT", "simsun.ttc", ""}}};
}

Text billText(const std::u16string& text, int32_t alignment, double x, double y) {
  Text entity;
  entity.text = text;
  entity.insertion = {x, y, 0};
  entity.alignmentPoint = {x, y, 0};
  entity.alignment = alignment;
  entity.height = 300;
  entity.widthFactor = 0.7;
  entity.style = u"HZTXT";
  entity.layer = u"BJ-清单";
  entity.color = 7;
  return entity;
}

TEST(dxf_writer_test, strings_are_gbk_with_carets_and_unicode_escapes) {
  EXPECT_EQ(encodeText(u"累计面积 12m"), toGbk(u"累计面积 12m"));
  EXPECT_EQ(encodeText(u"a^b"), "a^ b");
  EXPECT_EQ(encodeText(u"\r\n"), "^M^J");
  EXPECT_EQ(encodeText(u"ก1"),
            "\\U+0E01"
            "1");  // Thai has no GBK form
}

TEST(dxf_writer_test, reals_are_exact_with_a_point_and_without_exponent) {
  EXPECT_EQ(formatReal(0), "0.0");
  EXPECT_EQ(formatReal(-0.0), "0.0");
  EXPECT_EQ(formatReal(1550), "1550.0");
  EXPECT_EQ(formatReal(-3050.5), "-3050.5");
  EXPECT_EQ(formatReal(0.1), "0.1");
  EXPECT_EQ(formatReal(1e20), "100000000000000000000.0");
  EXPECT_THROW(formatReal(std::nan("")), DxfError);
  EXPECT_THROW(formatReal(std::numeric_limits<double>::infinity()), DxfError);
}

TEST(dxf_writer_test, a_bill_text_a_line_and_a_polyline) {
  const TempFolder folder;
  DxfWriter writer(folder / "bill.dxf", billTables());
  writer.add(billText(u"3863", 10, 1550, -3050));
  writer.add(Line{{0, 0, 0}, {30000, 0, 0}, u"0", 1});
  writer.add(Polyline{{{100, -1890, 0}, {1200, -1800, 0}}, false, u"BJ-清单", 256});
  EXPECT_EQ(writer.entityCount(), 3U);
  writer.finish();

  const auto pairs = readPairs(folder / "bill.dxf");
  ASSERT_FALSE(pairs.empty());
  EXPECT_EQ(pairs.front(), (Pair{0, "SECTION"}));
  EXPECT_EQ(pairs.back(), (Pair{0, "EOF"}));
  EXPECT_EQ(headerValue(pairs, "$ACADVER", 1), "AC1009");
  EXPECT_EQ(headerValue(pairs, "$DWGCODEPAGE", 3), "ANSI_936");
  EXPECT_EQ(headerValue(pairs, "$EXTMIN", 10), "0.0");
  EXPECT_EQ(headerValue(pairs, "$EXTMIN", 20), "-3200.0");  // the middle of a 300 high text
  EXPECT_EQ(headerValue(pairs, "$EXTMAX", 10), "30000.0");
  EXPECT_EQ(headerValue(pairs, "$EXTMAX", 20), "0.0");

  const std::string layer = toGbk(u"BJ-清单");
  const std::vector<Pair> expected{
      {0, "TEXT"}, {8, layer},      {62, "7"},       {10, "1550.0"}, {20, "-3050.0"},
      {30, "0.0"}, {40, "300.0"},   {1, "3863"},     {41, "0.7"},    {7, "HZTXT"},
      {72, "1"},   {11, "1550.0"},  {21, "-3050.0"}, {31, "0.0"},    {73, "2"},
      {0, "LINE"}, {8, "0"},        {62, "1"},       {10, "0.0"},    {20, "0.0"},
      {30, "0.0"}, {11, "30000.0"}, {21, "0.0"},     {31, "0.0"},    {0, "POLYLINE"},
      {8, layer},  {66, "1"},       {10, "0.0"},     {20, "0.0"},    {30, "0.0"},
      {70, "0"},   {0, "VERTEX"},   {8, layer},      {10, "100.0"},  {20, "-1890.0"},
      {30, "0.0"}, {0, "VERTEX"},   {8, layer},      {10, "1200.0"}, {20, "-1800.0"},
      {30, "0.0"}, {0, "SEQEND"},   {8, layer}};
  EXPECT_EQ(entities(pairs), expected);
  // Nothing but the drawing is left: no scratch file, no staged one.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(dxf_writer_test, every_alignment_has_its_justification) {
  const TempFolder folder;
  DxfWriter writer(folder / "a.dxf", billTables());
  for (int32_t alignment = 0; alignment <= 14; ++alignment) {
    writer.add(billText(u"x", alignment, 0, 0));
  }
  writer.finish();
  // Horizontal 72 and vertical 73 of each text, 0 where the group is left out.
  std::vector<std::pair<int, int>> justifications;
  for (const Pair& pair : entities(readPairs(folder / "a.dxf"))) {
    if (pair == Pair{0, "TEXT"}) justifications.emplace_back(0, 0);
    if (pair.first == 72) justifications.back().first = std::stoi(pair.second);
    if (pair.first == 73) justifications.back().second = std::stoi(pair.second);
  }
  const std::vector<std::pair<int, int>> expected{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0},
                                                  {5, 0}, {0, 3}, {1, 3}, {2, 3}, {0, 2},
                                                  {1, 2}, {2, 2}, {0, 1}, {1, 1}, {2, 1}};
  EXPECT_EQ(justifications, expected);
}

TEST(dxf_writer_test, entities_outside_the_tables_are_refused_whole) {
  const TempFolder folder;
  DxfWriter writer(folder / "b.dxf", billTables());
  Text text = billText(u"x", 0, 0, 0);
  text.layer = u"BJ-引线";
  EXPECT_THROW(writer.add(text), DxfError);
  text = billText(u"x", 0, 0, 0);
  text.style = u"Romans";
  EXPECT_THROW(writer.add(text), DxfError);
  text = billText(u"x", 15, 0, 0);
  EXPECT_THROW(writer.add(text), DxfError);
  text = billText(u"x", 0, std::nan(""), 0);
  EXPECT_THROW(writer.add(text), DxfError);
  text = billText(u"x", 0, 0, 0);
  text.height = 0;
  EXPECT_THROW(writer.add(text), DxfError);
  EXPECT_THROW(writer.add(Line{{0, 0, 0}, {std::nan(""), 0, 0}, u"0", 256}), DxfError);
  EXPECT_THROW(writer.add(Polyline{{{0, 0, 0}}, false, u"0", 256}), DxfError);
  EXPECT_EQ(writer.entityCount(), 0U);
  writer.finish();
  EXPECT_TRUE(entities(readPairs(folder / "b.dxf")).empty());
}

TEST(dxf_writer_test, a_drawing_left_unfinished_leaves_no_file) {
  const TempFolder folder;
  {
    DxfWriter writer(folder / "c.dxf", billTables());
    writer.add(Line{{0, 0, 0}, {1, 1, 0}, u"0", 256});
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(dxf_writer_test, tables_list_the_layers_and_styles) {
  const TempFolder folder;
  DxfWriter writer(folder / "d.dxf", billTables());
  writer.finish();
  const auto pairs = readPairs(folder / "d.dxf");
  std::vector<std::string> layers;
  std::vector<std::string> fonts;
  for (std::size_t i = 0; i + 1 < pairs.size(); ++i) {
    if (pairs[i] == Pair{0, "LAYER"}) layers.push_back(pairs[i + 1].second);
    if (pairs[i].first == 3 && pairs[i].second.find('.') != std::string::npos) {
      fonts.push_back(pairs[i].second);
    }
  }
  EXPECT_EQ(layers, (std::vector<std::string>{"0", toGbk(u"BJ-清单")}));
  EXPECT_EQ(fonts, (std::vector<std::string>{"simsun.ttc"}));
}

}  // namespace
}  // namespace kvm::dxf
