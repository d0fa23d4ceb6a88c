#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/dxf/plan_reader.h"

namespace kvm::dxf {
namespace {

using Groups = std::vector<std::pair<int, std::string>>;

std::string ascii(const Groups& groups) {
  std::string text;
  for (const auto& [code, value] : groups) {
    text += std::to_string(code) + "\r\n" + value + "\r\n";
  }
  return text;
}

// A drawing with the given header variables, layer table, blocks and model-space entities.
std::string drawing(const Groups& header, const Groups& layers, const Groups& blocks,
                    const Groups& entities) {
  Groups all{{0, "SECTION"}, {2, "HEADER"}};
  all.insert(all.end(), header.begin(), header.end());
  all.insert(all.end(), {{0, "ENDSEC"}, {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}});
  all.insert(all.end(), layers.begin(), layers.end());
  all.insert(all.end(), {{0, "ENDTAB"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "BLOCKS"}});
  all.insert(all.end(), blocks.begin(), blocks.end());
  all.insert(all.end(), {{0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}});
  all.insert(all.end(), entities.begin(), entities.end());
  all.insert(all.end(), {{0, "ENDSEC"}, {0, "EOF"}});
  return ascii(all);
}

Groups line(const std::string& layer, double x1, double y1, double x2, double y2) {
  return {{0, "LINE"},
          {8, layer},
          {10, std::to_string(x1)},
          {20, std::to_string(y1)},
          {11, std::to_string(x2)},
          {21, std::to_string(y2)}};
}

Groups operator+(Groups a, const Groups& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Collected : FlashingLineSink {
  std::vector<std::pair<std::size_t, FlashingLine>> lines;
  void add(std::size_t layer, const FlashingLine& line) override {
    lines.emplace_back(layer, line);
  }
};

PlanTakeoff takeOff(const std::string& bytes, const PlanOptions& options = {},
                    FlashingLineSink* sink = nullptr) {
  GroupReader groups(bytes, "p.dxf");
  return readPlan(groups, options, sink);
}

const LayerTakeoff& layerNamed(const PlanTakeoff& takeoff, const std::string& name) {
  for (const LayerTakeoff& layer : takeoff.layers) {
    if (layer.name == name) return layer;
  }
  throw std::runtime_error("no layer " + name);
}

std::string errorOf(const std::string& bytes) {
  try {
    takeOff(bytes);
  } catch (const PlanError& error) {
    return error.what();
  }
  return "no error";
}

TEST(plan_reader_test, units_convert_to_millimetres_and_the_option_overrides_them) {
  const std::string metres = drawing({{9, "$INSUNITS"}, {70, "6"}}, {}, {}, line("A", 0, 0, 3, 4));
  EXPECT_DOUBLE_EQ(layerNamed(takeOff(metres), "A").length, 5000);
  EXPECT_EQ(takeOff(metres).units, "m");
  EXPECT_DOUBLE_EQ(layerNamed(takeOff(metres, {"in"}), "A").length, 127);
  const std::string unitless =
      drawing({{9, "$INSUNITS"}, {70, "0"}}, {}, {}, line("A", 0, 0, 3, 4));
  EXPECT_DOUBLE_EQ(layerNamed(takeOff(unitless), "A").length, 5);
  const std::string miles = drawing({{9, "$INSUNITS"}, {70, "3"}}, {}, {}, line("A", 0, 0, 3, 4));
  EXPECT_NE(errorOf(miles).find("p.dxf: line 7: the drawing's units ($INSUNITS 3)"),
            std::string::npos)
      << errorOf(miles);
  EXPECT_DOUBLE_EQ(layerNamed(takeOff(miles, {"ft"}), "A").length, 1524);
}

TEST(plan_reader_test, layers_in_table_order_with_their_states_and_names_matched_ignoring_case) {
  const Groups layers{{0, "LAYER"}, {2, "Ridge"}, {70, "1"}, {62, "7"},
                      {0, "LAYER"}, {2, "Gable"}, {70, "0"}, {62, "-3"}};
  const PlanTakeoff takeoff = takeOff(
      drawing({}, layers, {},
              line("GABLE", 0, 0, 10, 0) + line("ridge", 0, 0, 0, 20) + line("new", 0, 0, 1, 0)));
  ASSERT_EQ(takeoff.layers.size(), 3U);
  EXPECT_EQ(takeoff.layers[0].name, "Ridge");
  EXPECT_TRUE(takeoff.layers[0].frozen);
  EXPECT_EQ(takeoff.layers[0].length, 20);
  EXPECT_EQ(takeoff.layers[1].name, "Gable");
  EXPECT_TRUE(takeoff.layers[1].off);
  EXPECT_EQ(takeoff.layers[1].length, 10);
  EXPECT_EQ(takeoff.layers[2].name, "new");
}

TEST(plan_reader_test, polylines_close_bulge_and_leave_out_repeated_vertices) {
  // A closed square of side 1000 whose first side is a half circle (bulge 1).
  const Groups polyline{{0, "LWPOLYLINE"}, {8, "A"},     {90, "5"},    {70, "1"}, {10, "0"},
                        {20, "0"},         {42, "1"},    {10, "1000"}, {20, "0"}, {10, "1000"},
                        {20, "1000"},      {10, "1000"}, {20, "1000"}, {10, "0"}, {20, "1000"}};
  const LayerTakeoff layer = layerNamed(takeOff(drawing({}, {}, {}, polyline)), "A");
  EXPECT_EQ(layer.lines, 4U);
  EXPECT_EQ(layer.zeroLength, 1U);
  EXPECT_NEAR(layer.length, 500 * std::numbers::pi + 3000, 1e-9);
  EXPECT_EQ(layer.entities[static_cast<std::size_t>(PlanEntity::LwPolyline)], 1U);
}

TEST(plan_reader_test, blocks_nest_mirror_array_and_hand_layer_zero_to_their_reference) {
  const Groups blocks =
      Groups{{0, "BLOCK"}, {2, "inner"}, {10, "0"}, {20, "0"}} + line("0", 0, 0, 100, 0) +
      line("FIXED", 0, 0, 0, 50) + Groups{{0, "ENDBLK"}} +
      Groups{{0, "BLOCK"}, {2, "outer"}, {10, "0"}, {20, "0"},  {0, "INSERT"}, {8, "0"},
             {2, "INNER"}, {10, "0"},    {20, "0"}, {41, "-2"}, {0, "ENDBLK"}};
  const Groups insert{{0, "INSERT"}, {8, "R"},  {2, "outer"}, {10, "1000"}, {20, "0"},
                      {50, "90"},    {70, "3"}, {71, "2"},    {44, "500"},  {45, "700"}};
  Collected sink;
  const PlanTakeoff takeoff = takeOff(drawing({}, {}, blocks, insert), {}, &sink);
  EXPECT_EQ(layerNamed(takeoff, "R").lines, 6U);
  EXPECT_DOUBLE_EQ(layerNamed(takeoff, "R").length, 6 * 200);
  EXPECT_EQ(layerNamed(takeoff, "FIXED").lines, 6U);
  EXPECT_EQ(layerNamed(takeoff, "0").lines, 0U);
  // The first copy: mirrored in x, doubled, turned a quarter: (0,0)-(200,0) ->
  // (1000,0)-(1000,-200).
  ASSERT_FALSE(sink.lines.empty());
  EXPECT_NEAR(sink.lines[0].second.end.x, 1000, 1e-9);
  EXPECT_NEAR(sink.lines[0].second.end.y, -200, 1e-9);
  // The array turns with the reference: the second column lies 500 up.
  EXPECT_NEAR(sink.lines[2].second.start.y, 500, 1e-9);
}

TEST(plan_reader_test, a_mirrored_extrusion_turns_arcs_over) {
  const Groups arc{{0, "ARC"}, {8, "A"},   {10, "100"}, {20, "0"},  {40, "10"},
                   {50, "0"},  {51, "90"}, {210, "0"},  {220, "0"}, {230, "-1"}};
  Collected sink;
  const PlanTakeoff takeoff = takeOff(drawing({}, {}, {}, arc), {}, &sink);
  EXPECT_NEAR(layerNamed(takeoff, "A").length, 5 * std::numbers::pi, 1e-12);
  ASSERT_EQ(sink.lines.size(), 1U);
  // The centre (100, 0) seen from below is (-100, 0); angle 0 points to -x.
  EXPECT_NEAR(sink.lines[0].second.start.x, -110, 1e-12);
}

TEST(plan_reader_test, an_unevenly_scaled_arc_is_measured_as_its_ellipse) {
  // A quarter of an ellipse with semi-axes 20 and 10.
  const Groups blocks =
      Groups{{0, "BLOCK"}, {2, "B"},  {10, "0"},  {20, "0"}, {0, "ARC"}, {8, "A"},
             {10, "0"},    {20, "0"}, {40, "10"}, {50, "0"}, {51, "90"}, {0, "ENDBLK"}};
  const Groups insert{{0, "INSERT"}, {8, "A"}, {2, "B"}, {10, "0"}, {20, "0"}, {41, "2"}};
  // A quarter of the ellipse's perimeter: 20 E(3/4) = 24.2211205513692 (integrated finely).
  EXPECT_NEAR(layerNamed(takeOff(drawing({}, {}, blocks, insert)), "A").length, 24.221120551369186,
              1e-9);
}

TEST(plan_reader_test, paper_space_and_other_entities_are_counted_not_taken) {
  const Groups entities =
      line("A", 0, 0, 1, 0) +
      Groups{{0, "LINE"}, {8, "A"}, {67, "1"}, {10, "0"}, {20, "0"}, {11, "5"}, {21, "0"}} +
      Groups{{0, "SPLINE"}, {8, "A"}, {0, "TEXT"}, {8, "A"}, {0, "SPLINE"}};
  const PlanTakeoff takeoff = takeOff(drawing({}, {}, {}, entities));
  EXPECT_EQ(layerNamed(takeoff, "A").lines, 1U);
  EXPECT_EQ(takeoff.paperSpace, 1U);
  EXPECT_EQ(takeoff.ignored.at("SPLINE"), 2U);
  EXPECT_EQ(takeoff.ignored.at("TEXT"), 1U);
}

TEST(plan_reader_test, damaged_entities_are_skipped_and_listed_with_their_line) {
  const Groups entities = line("A", 0, 0, 1, 0) +
                          Groups{{0, "LINE"}, {8, "A"}, {10, "nan"}, {20, "0"}} +
                          Groups{{0, "LINE"}, {8, "A"}, {10, "1e300"}, {20, "0"}} +
                          Groups{{0, "POLYLINE"}, {8, "A"}, {66, "1"}, {0, "SEQEND"}} +
                          Groups{{0, "INSERT"}, {8, "A"}, {2, "NOWHERE"}} + line("A", 0, 0, 2, 0);
  const PlanTakeoff takeoff = takeOff(drawing({}, {}, {}, entities));
  EXPECT_EQ(layerNamed(takeoff, "A").lines, 2U);
  EXPECT_EQ(takeoff.skippedCount, 4U);
  ASSERT_EQ(takeoff.skipped.size(), 4U);
  EXPECT_EQ(takeoff.skipped[0].at, "line 41");
  EXPECT_EQ(takeoff.skipped[2].problem, "a polyline with 0 vertices");
  EXPECT_NE(takeoff.skipped[3].problem.find("NOWHERE"), std::string::npos);
}

TEST(plan_reader_test, an_array_too_large_is_skipped_and_counts_beyond_16_bits_are_one) {
  const Groups blocks =
      Groups{{0, "BLOCK"}, {2, "B"}} + line("0", 0, 0, 1, 0) + Groups{{0, "ENDBLK"}};
  const Groups insert{{0, "INSERT"}, {8, "A"}, {2, "B"}, {70, "32767"}, {71, "32767"}};
  const PlanTakeoff takeoff = takeOff(drawing({}, {}, blocks, insert));
  EXPECT_EQ(takeoff.skippedCount, 1U);
  EXPECT_EQ(layerNamed(takeoff, "A").lines, 0U);
  const Groups odd{{0, "INSERT"}, {8, "A"}, {2, "B"}, {70, "1e300"}, {71, "nan"}};
  EXPECT_EQ(layerNamed(takeOff(drawing({}, {}, blocks, odd)), "A").lines, 1U);
}

TEST(plan_reader_test, unreadable_drawings_end_in_one_line_naming_the_place) {
  EXPECT_EQ(errorOf("hello\r\nworld\r\n"),
            "p.dxf: line 1: not a drawing interchange file (DXF): the first line is no group code");
  EXPECT_NE(errorOf(std::string("AC1032\0\0\0binary", 15)).find("p.dxf: a DWG drawing"),
            std::string::npos);
  const std::string whole = drawing({}, {}, {}, line("A", 0, 0, 1, 0));
  EXPECT_NE(errorOf(whole.substr(0, whole.size() / 2)).find("cut short"), std::string::npos)
      << errorOf(whole.substr(0, whole.size() / 2));
  EXPECT_EQ(errorOf(ascii({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}}) + "LINE\r\n8\r\n"),
            "p.dxf: line 7: expected a group code, found \"LINE\"");
  // A number the drawing itself depends on: its units.
  EXPECT_EQ(errorOf(drawing({{9, "$INSUNITS"}, {70, "abc"}}, {}, {}, line("A", 0, 0, 1, 0))),
            "p.dxf: line 7: the value of group code 70 is not a number: \"abc\"");
}

// What CAD programs write around the drawing itself: comments (even as the first group),
// bytes after the end-of-file marker, no marker at all after the last section.
TEST(plan_reader_test, comments_trailing_bytes_and_a_missing_end_marker_are_accepted) {
  const std::string whole = drawing({}, {}, {}, line("A", 0, 0, 1, 0));
  const std::string comment = ascii({{999, "dxflib 3.26.4.0"}});
  const std::string inside = ascii({{0, "SECTION"},
                                    {2, "ENTITIES"},
                                    {0, "LINE"},
                                    {8, "A"},
                                    {999, "a note"},
                                    {10, "0"},
                                    {11, "2"},
                                    {0, "ENDSEC"},
                                    {999, "end"},
                                    {0, "EOF"}});
  EXPECT_EQ(layerNamed(takeOff(comment + whole), "A").lines, 1U);
  EXPECT_EQ(layerNamed(takeOff(inside), "A").length, 2.0);
  for (const std::string& tail :
       {std::string("\x1a"), std::string(300, ' '), std::string("garbage\r\n\0\xff", 11)}) {
    const PlanTakeoff takeoff = takeOff(whole + tail);
    EXPECT_EQ(layerNamed(takeoff, "A").lines, 1U);
    EXPECT_TRUE(takeoff.warnings.empty());
  }
  EXPECT_EQ(layerNamed(takeOff(whole.substr(0, whole.size() - 2) + "\x1a"), "A").lines, 1U);

  const std::string unended = whole.substr(0, whole.size() - std::string("0\r\nEOF\r\n").size());
  const PlanTakeoff takeoff = takeOff(unended);
  EXPECT_EQ(layerNamed(takeoff, "A").lines, 1U);
  ASSERT_EQ(takeoff.warnings.size(), 1U);
  EXPECT_EQ(takeoff.warnings[0].layer, "");
  EXPECT_EQ(takeoff.warnings[0].at, "line 41");
  EXPECT_NE(takeoff.warnings[0].problem.find("without its end-of-file marker"), std::string::npos);
  // Cut inside a section, or after the start of the next one: refused.
  const std::string cut = unended.substr(0, unended.size() - std::string("0\r\nENDSEC\r\n").size());
  EXPECT_NE(errorOf(cut).find("cut short"), std::string::npos) << errorOf(cut);
  EXPECT_NE(errorOf(unended + ascii({{0, "SECTION"}, {2, "OBJECTS"}})).find("cut short"),
            std::string::npos);
}

TEST(plan_reader_test, an_empty_file_says_so_and_a_zero_radius_arc_is_a_point) {
  EXPECT_EQ(errorOf(""), "p.dxf: the file is empty");
  EXPECT_EQ(errorOf("\xEF\xBB\xBF"), "p.dxf: the file is empty");
  const Groups arcs{{0, "ARC"}, {8, "A"},  {10, "5"}, {20, "5"},  {40, "0"}, {0, "ARC"},
                    {8, "A"},   {10, "5"}, {20, "5"}, {40, "-1"}, {51, "90"}};
  const PlanTakeoff takeoff = takeOff(drawing({}, {}, {}, arcs));
  const LayerTakeoff& layer = layerNamed(takeoff, "A");
  EXPECT_EQ(layer.entities.at(static_cast<std::size_t>(PlanEntity::Arc)), 1U);
  EXPECT_EQ(layer.zeroLength, 1U);
  EXPECT_EQ(layer.lines, 0U);
  ASSERT_EQ(takeoff.skippedCount, 1U);
  EXPECT_EQ(takeoff.skipped[0].problem, "an arc whose radius is not a positive number");
}

// Only the numbers the take-off uses are read: a bad one in an ignored entity or an unused
// group changes nothing, and one in a taken entity leaves out that entity alone, listed like
// one whose number is NaN.
TEST(plan_reader_test, bad_numbers_matter_only_where_they_are_used) {
  const Groups entities =
      line("A", 0, 0, 1, 0) + Groups{{0, "HATCH"}, {8, "A"}, {10, "x"}, {41, "??"}} +
      Groups{{0, "MTEXT"}, {8, "A"}, {40, "1,5"}} +
      Groups{{0, "LINE"}, {8, "A"}, {10, "0"}, {20, "0"}, {11, "3"}, {21, "0"}, {39, "thick"}} +
      Groups{{0, "LINE"}, {8, "A"}, {10, "abc"}, {20, "0"}, {11, "5"}, {21, "0"}} +
      Groups{{0, "LWPOLYLINE"}, {8, "A"}, {10, "0"}, {20, "0"}, {42, "--"}, {10, "9"}, {20, "0"}} +
      Groups{{0, "POLYLINE"}, {8, "A"},      {66, "1"}, {0, "VERTEX"}, {10, "0"},
             {20, "0"},       {0, "VERTEX"}, {10, "7"}, {20, "1e"},    {0, "SEQEND"}} +
      line("A", 0, 0, 2, 0);
  const PlanTakeoff takeoff = takeOff(drawing({{9, "$TEXTSIZE"}, {40, "big"}}, {}, {}, entities));
  EXPECT_EQ(layerNamed(takeoff, "A").lines, 3U);
  EXPECT_EQ(layerNamed(takeoff, "A").length, 6);
  EXPECT_EQ(takeoff.ignored.at("HATCH"), 1U);
  EXPECT_EQ(takeoff.ignored.at("MTEXT"), 1U);
  ASSERT_EQ(takeoff.skippedCount, 3U);
  EXPECT_EQ(takeoff.skipped[0].problem, "the value of group code 10 is not a number: \"abc\"");
  EXPECT_EQ(takeoff.skipped[1].problem, "the value of group code 42 is not a number: \"--\"");
  EXPECT_EQ(takeoff.skipped[2].problem, "the value of group code 20 is not a number: \"1e\"");
  // Each at its entity's own line, the polyline at its POLYLINE.
  const std::string text = drawing({{9, "$TEXTSIZE"}, {40, "big"}}, {}, {}, entities);
  const auto lineOf = [&text](const std::string& what) {
    const auto at = text.find(what);
    return "line " +
           std::to_string(1 + std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
  };
  EXPECT_EQ(takeoff.skipped[0].at, lineOf("0\r\nLINE\r\n8\r\nA\r\n10\r\nabc"));
  EXPECT_EQ(takeoff.skipped[2].at, lineOf("0\r\nPOLYLINE"));
  // A block's bad entity is listed once where it is defined, not at each reference.
  const Groups blocks = Groups{{0, "BLOCK"}, {2, "B"}} + line("0", 0, 0, 1, 0) +
                        Groups{{0, "ARC"}, {8, "0"}, {40, "r"}} + Groups{{0, "ENDBLK"}};
  const Groups inserts{{0, "INSERT"}, {8, "A"}, {2, "B"}, {0, "INSERT"}, {8, "A"}, {2, "B"}};
  const PlanTakeoff inBlock = takeOff(drawing({}, {}, blocks, inserts));
  EXPECT_EQ(layerNamed(inBlock, "A").lines, 2U);
  EXPECT_EQ(inBlock.skippedCount, 1U);
}

// A bulge near zero is a straight segment: taken as an arc its radius reached 1e14 and its
// ends lost their places.
TEST(plan_reader_test, a_bulge_near_zero_is_straight) {
  for (const char* bulge : {"1e-12", "-3e-10", "0"}) {
    const Groups polyline{{0, "LWPOLYLINE"}, {8, "A"},  {10, "1000.5"}, {20, "250.25"},
                          {42, bulge},       {10, "0"}, {20, "0"}};
    Collected lines;
    takeOff(drawing({}, {}, {}, polyline), {}, &lines);
    ASSERT_EQ(lines.lines.size(), 1U) << bulge;
    const FlashingLine& line = lines.lines[0].second;
    EXPECT_EQ(line.start.x, 1000.5) << bulge;
    EXPECT_EQ(line.start.y, 250.25) << bulge;
    EXPECT_EQ(line.end.x, 0) << bulge;
    EXPECT_EQ(line.end.y, 0) << bulge;
    EXPECT_DOUBLE_EQ(line.length, std::hypot(1000.5, 250.25)) << bulge;
  }
  // Just above the threshold it is still an arc, its ends in place.
  const Groups arc{{0, "LWPOLYLINE"}, {8, "A"},     {10, "0"}, {20, "0"},
                   {42, "1e-6"},      {10, "1000"}, {20, "0"}};
  Collected lines;
  takeOff(drawing({}, {}, {}, arc), {}, &lines);
  ASSERT_EQ(lines.lines.size(), 1U);
  EXPECT_NEAR(lines.lines[0].second.start.x, 0, 1e-6);
  EXPECT_NEAR(lines.lines[0].second.end.x, 1000, 1e-6);
  EXPECT_NEAR(lines.lines[0].second.length, 1000, 1e-6);
}

TEST(plan_reader_test, deep_blocks_that_grow_past_use_skip_every_copy_and_count_it) {
  // Each level sets ten copies of the one below a hundred times larger: the 100,000 lines at
  // the bottom lie beyond 1000 km. Each is counted, the first ones listed, none taken.
  Groups blocks = Groups{{0, "BLOCK"}, {2, "L0"}} + line("0", 0, 0, 1, 0) + Groups{{0, "ENDBLK"}};
  for (int level = 1; level <= 5; ++level) {
    blocks = blocks + Groups{{0, "BLOCK"},
                             {2, "L" + std::to_string(level)},
                             {0, "INSERT"},
                             {8, "0"},
                             {2, "L" + std::to_string(level - 1)},
                             {41, "100"},
                             {42, "100"},
                             {43, "100"},
                             {70, "10"},
                             {44, "1"},
                             {0, "ENDBLK"}};
  }
  const PlanTakeoff takeoff =
      takeOff(drawing({}, {}, blocks, Groups{{0, "INSERT"}, {8, "A"}, {2, "L5"}}));
  EXPECT_EQ(takeoff.skippedCount, 100'000U);
  EXPECT_EQ(layerNamed(takeoff, "A").lines, 0U);
  ASSERT_FALSE(takeoff.skipped.empty());
  EXPECT_LT(takeoff.skipped.size(), 1'000U);
  EXPECT_EQ(takeoff.skipped.front().problem,
            "in block \"L0\": a coordinate that is not a number or lies beyond 1000 km");
}

TEST(plan_reader_test, the_blocks_of_a_whole_plan_expand_to_ten_million_entities_at_most) {
  // Each reference stays inside the bound, but a thousand of them would keep the reader busy
  // for hours: those past the plan's bound are skipped, the first ones drawn.
  const Groups blocks = Groups{{0, "BLOCK"}, {2, "B"}} + line("0", 0, 0, 1, 0) +
                        Groups{{0, "ENDBLK"}, {0, "BLOCK"}, {2, "C"},    {0, "INSERT"}, {8, "0"},
                               {2, "B"},      {70, "100"},  {71, "100"}, {0, "ENDBLK"}};
  Groups inserts;
  for (int i = 0; i < 1000; ++i) {
    inserts = inserts + Groups{{0, "INSERT"}, {8, "A"}, {2, "C"}};
  }
  PlanOptions bounded;
  bounded.maxExpansion = 10'000;
  const PlanTakeoff takeoff = takeOff(drawing({}, {}, blocks, inserts), bounded);
  // C unfolds to itself, ten thousand copies of B and their lines: 20,001 entities.
  EXPECT_EQ(takeoff.skippedCount, 1000U);
  EXPECT_EQ(takeoff.skipped.front().problem,
            "a block reference that expands to more than 10,000 entities");
  bounded.maxExpansion = 100'000;
  const PlanTakeoff four = takeOff(drawing({}, {}, blocks, inserts), bounded);
  EXPECT_EQ(layerNamed(four, "A").lines, 40'000U);
  EXPECT_EQ(four.skippedCount, 996U);
  EXPECT_EQ(four.skipped.front().problem,
            "a block reference past the 100,000 entities the blocks of a plan may expand to");

  // A polyline weighs its vertices: ten thousand copies of one with two thousand are too many.
  Groups polyline{{0, "LWPOLYLINE"}, {8, "0"}, {90, "2000"}};
  for (int i = 0; i < 2000; ++i) {
    polyline = polyline + Groups{{10, std::to_string(i)}, {20, "0"}};
  }
  const Groups heavy = Groups{{0, "BLOCK"}, {2, "P"}} + polyline + Groups{{0, "ENDBLK"}};
  const PlanTakeoff arrayed = takeOff(
      drawing({}, {}, heavy, Groups{{0, "INSERT"}, {8, "A"}, {2, "P"}, {70, "100"}, {71, "100"}}),
      bounded);
  EXPECT_EQ(arrayed.skippedCount, 1U);
  EXPECT_EQ(layerNamed(arrayed, "A").lines, 0U);
}

TEST(plan_reader_test, a_block_that_inserts_itself_is_refused) {
  const Groups blocks =
      Groups{{0, "BLOCK"}, {2, "A"}, {0, "INSERT"}, {8, "0"}, {2, "B"}, {0, "ENDBLK"},
             {0, "BLOCK"}, {2, "B"}, {0, "INSERT"}, {8, "0"}, {2, "a"}, {0, "ENDBLK"}};
  const std::string error =
      errorOf(drawing({}, {}, blocks, Groups{{0, "INSERT"}, {8, "X"}, {2, "A"}}));
  EXPECT_NE(error.find("inserts itself"), std::string::npos) << error;
  EXPECT_EQ(error.substr(0, 15), "p.dxf: line 53:") << error;
}

TEST(plan_reader_test, a_block_defined_again_after_it_was_drawn_is_weighed_again) {
  // A second BLOCKS section redefines a block already drawn: what was known of the old
  // definition must not let the new one past the guards.
  const Groups empty{{0, "BLOCK"}, {2, "B"}, {0, "ENDBLK"}};
  const Groups selfArray{{0, "BLOCK"}, {2, "B"},      {0, "INSERT"}, {8, "0"},
                         {2, "B"},     {70, "30000"}, {71, "30000"}, {0, "ENDBLK"}};
  const Groups reference{{0, "INSERT"}, {8, "X"}, {2, "B"}};
  auto section = [](const std::string& name, const Groups& body) {
    return Groups{{0, "SECTION"}, {2, name}} + body + Groups{{0, "ENDSEC"}};
  };
  const Groups twice = section("BLOCKS", empty) + section("ENTITIES", reference) +
                       section("BLOCKS", selfArray) + section("ENTITIES", reference) +
                       Groups{{0, "EOF"}};
  EXPECT_NE(errorOf(ascii(twice)).find("inserts itself"), std::string::npos);

  const Groups bigArray{{0, "BLOCK"}, {2, "B"},      {0, "LINE"}, {8, "0"},      {10, "0"},
                        {20, "0"},    {11, "1"},     {21, "0"},   {0, "ENDBLK"}, {0, "BLOCK"},
                        {2, "C"},     {0, "INSERT"}, {8, "0"},    {2, "B"},      {70, "1000"},
                        {71, "1000"}, {0, "ENDBLK"}};
  const Groups grown =
      section("BLOCKS", Groups{{0, "BLOCK"}, {2, "C"}, {0, "ENDBLK"}}) +
      section("ENTITIES", Groups{{0, "INSERT"}, {8, "X"}, {2, "C"}}) + section("BLOCKS", bigArray) +
      section("ENTITIES", Groups{{0, "INSERT"}, {8, "X"}, {2, "C"}}) + Groups{{0, "EOF"}};
  PlanOptions bounded;
  bounded.maxExpansion = 10'000;
  const PlanTakeoff takeoff = takeOff(ascii(grown), bounded);
  EXPECT_EQ(takeoff.skippedCount, 1U);
  EXPECT_EQ(layerNamed(takeoff, "X").lines, 0U);
}

TEST(plan_reader_test, names_decode_by_code_page_and_release_with_escapes) {
  const std::string gbk = "BJ-\xCE\xDD\xBC\xB9";  // BJ-屋脊
  const PlanTakeoff old =
      takeOff(drawing({{9, "$ACADVER"}, {1, "AC1015"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_936"}},
                      {{0, "LAYER"}, {2, gbk}}, {}, line(gbk, 0, 0, 1, 0)));
  EXPECT_EQ(old.layers.at(0).name, "BJ-屋脊");
  EXPECT_EQ(old.codepage, "ANSI_936");
  const PlanTakeoff escaped =
      takeOff(drawing({{9, "$ACADVER"}, {1, "AC1032"}}, {{0, "LAYER"}, {2, "BJ-\\U+5C4B\\U+810A"}},
                      {}, line("bj-屋脊", 0, 0, 1, 0)));
  EXPECT_EQ(escaped.layers.size(), 1U);
  // \M+5CEDD is 屋 in GBK, written in ASCII, here in a file of code page 1252.
  const PlanTakeoff asian =
      takeOff(drawing({}, {{0, "LAYER"}, {2, "BJ-\\M+5CEDD\\U+810A"}}, {}, {}));
  EXPECT_EQ(asian.layers.at(0).name, "BJ-屋脊");
  const PlanTakeoff utf8 =
      takeOff(drawing({{9, "$ACADVER"}, {1, "AC1032"}}, {{0, "LAYER"}, {2, "BJ-屋脊"}}, {}, {}));
  EXPECT_EQ(utf8.layers.at(0).name, "BJ-屋脊");
  const std::string broken = errorOf(
      drawing({{9, "$ACADVER"}, {1, "AC1032"}}, {{0, "LAYER"}, {2, "BJ-\xE5\xB1"}}, {}, {}));
  EXPECT_NE(broken.find("broken multibyte sequence"), std::string::npos) << broken;
  const std::string brokenGbk = errorOf(
      drawing({{9, "$DWGCODEPAGE"}, {3, "ANSI_936"}}, {{0, "LAYER"}, {2, "BJ-\xCE"}}, {}, {}));
  EXPECT_NE(brokenGbk.find("ANSI_936"), std::string::npos) << brokenGbk;
}

// Binary: the sentinel, then two-byte group codes and typed values.
std::string binary(const std::vector<std::pair<int, std::string>>& texts,
                   const std::vector<std::pair<int, double>>& reals) {
  std::string out("AutoCAD Binary DXF\r\n\x1a\0", 22);
  const auto code = [&out](int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
  };
  for (const auto& [c, text] : texts) {
    code(c);
    out += text;
    out += '\0';
    if (text == "LINE") {
      for (const auto& [rc, value] : reals) {
        code(rc);
        out.append(reinterpret_cast<const char*>(&value), sizeof value);  // NOLINT: bytes
      }
    }
  }
  return out;
}

TEST(plan_reader_test, binary_files_are_read_and_a_cut_one_names_its_byte) {
  const std::string bytes =
      binary({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "A"}, {0, "ENDSEC"}, {0, "EOF"}},
             {{10, 0}, {20, 0}, {11, 3}, {21, 4}});
  const PlanTakeoff takeoff = takeOff(bytes);
  EXPECT_TRUE(takeoff.binary);
  EXPECT_DOUBLE_EQ(layerNamed(takeoff, "A").length, 5);
  const std::string cut = errorOf(bytes.substr(0, 57));
  EXPECT_NE(cut.find("p.dxf: byte "), std::string::npos) << cut;
  EXPECT_NE(cut.find("in the middle of a group"), std::string::npos) << cut;
}

// Sections as some programs order them: the entities first, then the blocks they use.
std::string entitiesFirst(const Groups& blocks, const Groups& entities) {
  Groups all{{0, "SECTION"}, {2, "ENTITIES"}};
  all.insert(all.end(), entities.begin(), entities.end());
  all.insert(all.end(), {{0, "ENDSEC"}, {0, "SECTION"}, {2, "BLOCKS"}});
  all.insert(all.end(), blocks.begin(), blocks.end());
  all.insert(all.end(), {{0, "ENDSEC"}, {0, "EOF"}});
  return ascii(all);
}

TEST(plan_reader_test, blocks_after_the_entities_that_use_them_are_drawn) {
  // "outer" sets "inner" twice; both are defined after the references and after each other.
  const Groups blocks = Groups{{0, "BLOCK"}, {2, "outer"}, {10, "0"}, {20, "0"}} +
                        Groups{{0, "INSERT"}, {8, "0"}, {2, "inner"}, {10, "0"}, {20, "0"}} +
                        Groups{{0, "INSERT"}, {8, "0"}, {2, "inner"}, {10, "0"}, {20, "100"}} +
                        Groups{{0, "ENDBLK"}, {0, "BLOCK"}, {2, "inner"}, {10, "0"}, {20, "0"}} +
                        line("0", 0, 0, 300, 0) + Groups{{0, "ENDBLK"}};
  const Groups entities = line("A", 0, 0, 5, 0) +
                          Groups{{0, "INSERT"}, {8, "R"}, {2, "outer"}, {10, "1000"}, {20, "0"}} +
                          Groups{{0, "INSERT"}, {8, "R"}, {2, "missing"}};
  Collected sink;
  const PlanTakeoff takeoff = takeOff(entitiesFirst(blocks, entities), {}, &sink);
  EXPECT_EQ(layerNamed(takeoff, "A").lines, 1U);
  EXPECT_EQ(layerNamed(takeoff, "R").lines, 2U);
  EXPECT_DOUBLE_EQ(layerNamed(takeoff, "R").length, 600);
  // The reference and the two it sets, on layer 0 and so on its layer.
  EXPECT_EQ(layerNamed(takeoff, "R").entities[static_cast<std::size_t>(PlanEntity::Insert)], 3U);
  ASSERT_EQ(sink.lines.size(), 3U);
  EXPECT_EQ(sink.lines[2].second.start.x, 1000);
  EXPECT_EQ(sink.lines[2].second.start.y, 100);
  // A block no section defines is still named, at its reference.
  ASSERT_EQ(takeoff.skippedCount, 1U);
  EXPECT_EQ(takeoff.skipped[0].problem,
            "a reference to block \"missing\", which the plan does not define");
  // The guards hold whatever the order: a block defined later that inserts itself, and the
  // bound on what references unfold to.
  const Groups loop =
      Groups{{0, "BLOCK"}, {2, "L"}, {0, "INSERT"}, {8, "0"}, {2, "L"}} + Groups{{0, "ENDBLK"}};
  EXPECT_NE(
      errorOf(entitiesFirst(loop, {{0, "INSERT"}, {8, "X"}, {2, "L"}})).find("inserts itself"),
      std::string::npos);
  PlanOptions small;
  small.maxExpansion = 3;
  const PlanTakeoff bounded = takeOff(entitiesFirst(blocks, entities), small);
  EXPECT_EQ(layerNamed(bounded, "R").lines, 0U);
  EXPECT_EQ(bounded.skippedCount, 2U);
  // Paper space waits for no block.
  const PlanTakeoff paper =
      takeOff(entitiesFirst(blocks, {{0, "INSERT"}, {8, "R"}, {67, "1"}, {2, "outer"}}));
  EXPECT_EQ(paper.paperSpace, 1U);
  EXPECT_EQ(layerNamed(paper, "R").lines, 0U);
}

TEST(plan_reader_test, an_external_reference_is_listed_once_with_its_drawing) {
  const Groups blocks = Groups{{0, "BLOCK"}, {2, "walls"}, {70, "4"},
                               {10, "0"},    {20, "0"},    {1, "..\\site\\walls.dxf"},
                               {0, "ENDBLK"}} +
                        Groups{{0, "BLOCK"}, {2, "bare"}, {70, "12"}, {0, "ENDBLK"}};
  const Groups entities = Groups{{0, "INSERT"}, {8, "BJ-RIDGE"}, {2, "walls"}, {70, "2"}} +
                          Groups{{0, "INSERT"}, {8, "BJ-GABLE"}, {2, "walls"}} +
                          Groups{{0, "INSERT"}, {8, "BJ-GABLE"}, {2, "bare"}} +
                          line("BJ-GABLE", 0, 0, 10, 0);
  const std::string text = drawing({}, {}, blocks, entities);
  const PlanTakeoff takeoff = takeOff(text);
  EXPECT_EQ(layerNamed(takeoff, "BJ-RIDGE").lines, 0U);
  EXPECT_EQ(layerNamed(takeoff, "BJ-GABLE").lines, 1U);
  EXPECT_EQ(takeoff.skippedCount, 0U);
  ASSERT_EQ(takeoff.warnings.size(), 2U);
  EXPECT_EQ(takeoff.warnings[0].layer, "BJ-RIDGE");
  const auto at = text.find("0\r\nINSERT");
  EXPECT_EQ(takeoff.warnings[0].at,
            "line " + std::to_string(1 + std::count(text.begin(),
                                                    text.begin() + static_cast<long>(at), '\n')));
  EXPECT_EQ(takeoff.warnings[0].problem,
            "an external reference to \"..\\site\\walls.dxf\", whose lines are not in this plan");
  // An overlay without a path is named by its block.
  EXPECT_EQ(takeoff.warnings[1].problem,
            "an external reference to \"bare\", whose lines are not in this plan");
  // Listed also where the blocks come last.
  EXPECT_EQ(takeOff(entitiesFirst(blocks, entities)).warnings.size(), 2U);
}

// A light polyline in model space is drawn from the file vertex by vertex; in a block it is
// kept. Both give the same lines, bit for bit, and leave out a polyline with a bad value whole.
TEST(plan_reader_test, polylines_read_from_the_file_match_those_kept_in_blocks) {
  const Groups vertices{{90, "5"},    {70, "1"},   {38, "12.5"}, {10, "0"},   {20, "0"},
                        {40, "3"},    {42, "0.4"}, {10, "1000"}, {20, "0"},   {91, "7"},
                        {10, "1000"}, {20, "800"}, {42, "-1"},   {10, "0"},   {20, "800"},
                        {210, "0"},   {220, "0"},  {230, "-1"},  {999, "end"}};
  const Groups model = Groups{{0, "LWPOLYLINE"}, {8, "A"}} + vertices;
  const Groups block = Groups{{0, "BLOCK"}, {2, "P"}, {0, "LWPOLYLINE"}, {8, "0"}} + vertices +
                       Groups{{0, "ENDBLK"}};
  Collected direct;
  Collected kept;
  const PlanTakeoff fromFile =
      takeOff(drawing({}, {}, {}, model + line("A", 0, 0, 1, 0)), {}, &direct);
  takeOff(drawing({}, {}, block, {{0, "INSERT"}, {8, "A"}, {2, "P"}}) + "", {}, &kept);
  ASSERT_EQ(direct.lines.size(), 5U);
  ASSERT_EQ(kept.lines.size(), 4U);
  for (std::size_t i = 0; i < kept.lines.size(); ++i) {
    const FlashingLine& a = direct.lines[i].second;
    const FlashingLine& b = kept.lines[i].second;
    EXPECT_EQ(a.start.x, b.start.x);
    EXPECT_EQ(a.start.y, b.start.y);
    EXPECT_EQ(a.start.z, b.start.z);
    EXPECT_EQ(a.end.x, b.end.x);
    EXPECT_EQ(a.end.y, b.end.y);
    EXPECT_EQ(a.length, b.length);
  }
  // The extrusion after the vertices turns the outline over, at its elevation.
  EXPECT_EQ(direct.lines[0].second.end.x, -1000);
  EXPECT_EQ(direct.lines[0].second.end.z, -12.5);
  EXPECT_EQ(direct.lines[3].second.end.x, 0);
  EXPECT_EQ(layerNamed(fromFile, "A").entities[static_cast<std::size_t>(PlanEntity::LwPolyline)],
            1U);
  // A bad value after many good segments: none of them is taken.
  const Groups late = Groups{{0, "LWPOLYLINE"}, {8, "B"},  {10, "0"}, {20, "0"}, {10, "5"},
                             {20, "0"},         {10, "5"}, {20, "5"}, {10, "x"}};
  Collected none;
  const PlanTakeoff bad = takeOff(drawing({}, {}, {}, late + line("C", 0, 0, 1, 0)), {}, &none);
  EXPECT_EQ(layerNamed(bad, "B").lines, 0U);
  EXPECT_EQ(layerNamed(bad, "B").entities[static_cast<std::size_t>(PlanEntity::LwPolyline)], 0U);
  EXPECT_EQ(none.lines.size(), 1U);
  ASSERT_EQ(bad.skippedCount, 1U);
  EXPECT_EQ(bad.skipped[0].problem, "the value of group code 10 is not a number: \"x\"");
  const PlanTakeoff single = takeOff(drawing({}, {}, {}, {{0, "LWPOLYLINE"}, {8, "B"}, {10, "1"}}));
  ASSERT_EQ(single.skippedCount, 1U);
  EXPECT_EQ(single.skipped[0].problem, "a polyline with 1 vertex");
}

// A polyline longer than the reader's buffer, from a file: its vertices are read again from
// the disk, and the take-off is that of the same bytes in memory.
TEST(plan_reader_test, a_long_polyline_is_read_again_from_the_file) {
  Groups polyline{{0, "LWPOLYLINE"}, {8, "A"}, {70, "1"}};
  constexpr int kVertices = 60'000;  // about 2 MB
  for (int i = 0; i < kVertices; ++i) {
    polyline.emplace_back(10, std::to_string(i % 2 == 0 ? i : i - 1) + ".0000000000");
    polyline.emplace_back(20, std::to_string(i % 2 == 0 ? 0 : 100) + ".0000000000");
    if (i % 1000 == 0) {
      polyline.emplace_back(42, "0.25");
    }
  }
  const std::string text = drawing({}, {}, {}, polyline + line("B", 0, 0, 1, 0));
  ASSERT_GT(text.size(), std::size_t{2} << 20);
  const auto path = std::filesystem::temp_directory_path() /
                    ("plan-reader-test-" + std::to_string(::getpid()) + ".dxf");
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  Collected fromDisk;
  const PlanTakeoff disk = readPlan(path, {}, &fromDisk);
  std::filesystem::remove(path);
  Collected inMemory;
  const PlanTakeoff memory = takeOff(text, {}, &inMemory);
  EXPECT_EQ(layerNamed(disk, "A").lines, static_cast<std::size_t>(kVertices));
  EXPECT_EQ(layerNamed(disk, "A").length, layerNamed(memory, "A").length);
  EXPECT_EQ(layerNamed(disk, "B").lines, 1U);
  ASSERT_EQ(fromDisk.lines.size(), inMemory.lines.size());
  EXPECT_EQ(fromDisk.lines.back().second.end.x, inMemory.lines.back().second.end.x);
  EXPECT_EQ(fromDisk.lines[kVertices / 2].second.length,
            inMemory.lines[kVertices / 2].second.length);
}

// A pipe cannot be read twice: there a light polyline keeps its vertices, with the same result.
TEST(plan_reader_test, a_polyline_from_a_pipe_is_kept_and_taken_the_same) {
  const Groups polyline{{0, "LWPOLYLINE"}, {8, "A"},   {70, "1"}, {10, "0"},  {20, "0"},
                        {42, "1"},         {10, "10"}, {20, "0"}, {10, "10"}, {20, "10"}};
  const std::string text = drawing({}, {}, {}, polyline);
  const auto path = std::filesystem::temp_directory_path() /
                    ("plan-reader-pipe-" + std::to_string(::getpid()) + ".dxf");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  std::thread writer([&] {
    std::ofstream out(path, std::ios::binary);
    out << text;
  });
  const PlanTakeoff piped = readPlan(path, {}, nullptr);
  writer.join();
  std::filesystem::remove(path);
  const PlanTakeoff memory = takeOff(text);
  EXPECT_EQ(layerNamed(piped, "A").lines, 3U);
  EXPECT_EQ(layerNamed(piped, "A").length, layerNamed(memory, "A").length);
}

}  // namespace
}  // namespace kvm::dxf
