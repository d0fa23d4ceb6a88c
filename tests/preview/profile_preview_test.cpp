#include "preview/profile_preview.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "canvas/canvas_json.h"
#include "tests/base/expect_error.h"
#include "tests/preview/recording_ui.h"
#include "tests/preview/ridge_flashing.h"

namespace kvm::preview {
namespace {

using nlohmann::json;
using testing::RecordingUi;

// A flashing with a profile of no segments at (0, 0): only what a test adds is drawn.
Flashing bareFlashing(uint8_t scaleCode = 1) {
  Flashing f;
  f.ScaleCode = scaleCode;
  f.SegmentLengths = DynamicArray<int16_t>::ofSize(0);
  f.SegmentAngles = DynamicArray<double>::ofSize(0);
  f.TextMarks = DynamicArray<TextMark>::ofSize(0);
  f.DimensionMarks = DynamicArray<DimensionMark>::ofSize(0);
  return f;
}

DimensionMark dimensionAt(int16_t x, int16_t y, std::u16string text, uint8_t atPoint = 1) {
  DimensionMark m;
  m.TextX = x;
  m.TextY = y;
  m.Text = std::move(text);
  m.TextAtPoint = atPoint;
  return m;
}

json drawnOps(const Flashing& flashing, RecordingPreviewArea& area, RecordingUi& ui) {
  drawPreview(flashing, area, ui);
  return canvas::opsJson(area.recording().ops());
}

// The ops of one kind, in order.
json opsNamed(const json& ops, const std::string& name) {
  json out = json::array();
  for (const json& each : ops) {
    if (each.at(0) == name) {
      out.push_back(each);
    }
  }
  return out;
}

TEST(polar_point_test, steps_from_the_point_in_the_direction) {
  EXPECT_EQ(polarPoint({10, 20}, std::numbers::pi / 2, 100), (Point16{10, 120}));
  EXPECT_EQ(polarPoint({10, 20}, std::numbers::pi, 100), (Point16{-90, 20}));
  EXPECT_EQ(polarPoint({0, 0}, testing::radians(45), 16), (Point16{11, 11}));
  EXPECT_EQ(polarPoint({5, 5}, 1.0, 0), (Point16{5, 5}));
}

TEST(polar_point_test, beyond_sixteen_bits_is_an_overflow) {
  EXPECT_EQ(polarPoint({32766, 0}, 0.0, 1), (Point16{32767, 0}));
  EXPECT_RUNTIME_ERROR(polarPoint({32767, 0}, 0.0, 1), err::kOverflow);
  EXPECT_RUNTIME_ERROR(polarPoint({0, -32768}, -std::numbers::pi / 2, 1), err::kOverflow);
}

TEST(profile_preview_test, outline_rounds_whole_pixels_halves_to_even) {
  // Width 3300 makes s = 0.5, so odd profile units land on half pixels.
  RecordingPreviewArea area(3300, 180);
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.StartX = 1;                  // 0.5 + 1650 -> 1650
  f.StartY = 3;                  // 1.5 + 90 -> 92
  f.SegmentLengths = {5, 0, 7};  // d = round(2.5) = 2, 0, round(3.5) = 4
  f.SegmentAngles = {0.0, 1.0, std::numbers::pi / 2};
  const json ops = drawnOps(f, area, ui);
  EXPECT_EQ(opsNamed(ops, "moveto"), json::parse(R"([["moveto", 1650, 88]])"));
  // The zero-length segment repeats the vertex.
  EXPECT_EQ(opsNamed(ops, "lineto"),
            json::parse(R"([["lineto", 1652, 88], ["lineto", 1652, 88], ["lineto", 1652, 84]])"));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST(profile_preview_test, geometry_far_out_is_drawn_where_it_falls) {
  RecordingPreviewArea area;
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.StartX = -30000;  // round(-1554.55 + 171) = -1384
  f.StartY = 30000;   // round(1554.55 + 90) = 1645 -> 180 - 1645
  const json ops = drawnOps(f, area, ui);
  EXPECT_EQ(opsNamed(ops, "moveto"), json::parse(R"([["moveto", -1384, -1465]])"));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST(profile_preview_test, text_marks_pick_their_font_from_their_bytes) {
  RecordingPreviewArea area;
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.TextMarks = {TextMark{u"ab", 0, 0, 0.0F, 0.7F}, TextMark{u"a中", 0, 0, 0.0F, 0.7F},
                 TextMark{u"**", 0, 0, 0.0F, 0.7F}, TextMark{u" *", 0, 0, 0.0F, 0.7F},
                 TextMark{u"", 0, 0, 0.0F, 0.7F}};
  const json ops = drawnOps(f, area, ui);

  const json fonts = opsNamed(ops, "font");
  ASSERT_EQ(fonts.size(), 5U);
  EXPECT_EQ(fonts[0][1]["width"], 0);
  EXPECT_EQ(fonts[0][1]["pitchAndFamily"], 0);
  EXPECT_EQ(fonts[1][1]["width"], 6);
  EXPECT_EQ(fonts[1][1]["pitchAndFamily"], 6);
  EXPECT_EQ(fonts[1][1]["height"], 20);
  EXPECT_EQ(fonts[1][1]["weight"], 400);
  EXPECT_EQ(fonts[1][1]["faceName"], "");

  // 6 pixels below a horizontal text: round(6 / s) = 116 units, y = round(90 + 116 s) = 96.
  EXPECT_EQ(opsNamed(ops, "textout"), json::parse(R"([
    ["textout", 171, 96, "6162"], ["textout", 171, 96, "61D6D0"],
    ["textout", 171, 96, "2A2A"], ["textout", 171, 96, "202A"], ["textout", 171, 96, ""]])"));
  EXPECT_TRUE(opsNamed(ops, "print").empty()) << "only the exact text * is a star";
  // Each text sets baseline-centre alignment, the dimensions once more.
  EXPECT_EQ(opsNamed(ops, "align").size(), 6U);
}

TEST(profile_preview_test, text_anchor_turns_with_the_text) {
  RecordingPreviewArea area;
  RecordingUi ui;
  Flashing f = bareFlashing();
  // At 90° the right-hand side is +x: (116, 0) -> x = round(116 s + 171) = 177.
  f.TextMarks = {TextMark{u"t", 0, 0, testing::radiansF(90), 0.0F}};
  const json ops = drawnOps(f, area, ui);
  EXPECT_EQ(opsNamed(ops, "font")[0][1]["escapement"], 900);
  EXPECT_EQ(opsNamed(ops, "textout"), json::parse(R"([["textout", 177, 90, "74"]])"));
}

TEST(profile_preview_test, star_is_centred_on_its_point_whatever_its_angle) {
  RecordingPreviewArea area;
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.TextMarks = {TextMark{u"*", 0, 0, 0.0F, 0.8F}, TextMark{u"*", 0, 0, 2.5F, 0.8F}};
  const json ops = drawnOps(f, area, ui);
  const json star =
      json::parse(R"(["print", 159, 78, "*", {"face": "宋体", "size": 18, "bold": true}])");
  EXPECT_EQ(opsNamed(ops, "print"), json::array({star, star}));
  EXPECT_TRUE(opsNamed(ops, "font").empty());
  EXPECT_EQ(area.markTemplate().left, 159.0);
  EXPECT_EQ(area.markTemplate().top, 78.0);
}

TEST(profile_preview_test, dimensions_take_the_scale_colour) {
  const struct {
    uint8_t code;
    const char* colour;
    canvas::Rgb rgb;
  } cases[] = {{1, "#00FF00", {0, 255, 0}},
               {2, "#FF0000", {255, 0, 0}},
               {5, "#FF00FF", {255, 0, 255}},
               {0, "#FF00FF", {255, 0, 255}}};
  for (const auto& c : cases) {
    RecordingPreviewArea area;
    RecordingUi ui;
    const json ops = drawnOps(bareFlashing(c.code), area, ui);
    EXPECT_EQ(opsNamed(ops, "textcolor"), json::array({json::array({"textcolor", "#FFFFFF"}),
                                                       json::array({"textcolor", c.colour})}))
        << int{c.code};
    EXPECT_EQ(area.scaleLabelColor(), c.rgb) << int{c.code};
  }
}

TEST(profile_preview_test, dimension_off_its_point_moves_twelve_pixels_right) {
  RecordingPreviewArea area;
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.DimensionMarks = {dimensionAt(0, 0, u"", 0), dimensionAt(0, 0, u"50", 1)};
  const json ops = drawnOps(f, area, ui);
  // round(12 / s) = 232 units down: y = round(180 + 232 s - 90) = round(102.02) = 102.
  EXPECT_EQ(opsNamed(ops, "textout"),
            json::parse(R"([["textout", 171, 102, ""], ["textout", 171, 90, "3530"]])"));
}

TEST(profile_preview_test, odd_height_puts_texts_a_pixel_above_dimensions) {
  Flashing f = bareFlashing();
  // The text's anchor is 116 units below its point, where the dimension sits.
  f.TextMarks = {TextMark{u"t", 0, 0, 0.0F, 0.0F}};
  f.DimensionMarks = {dimensionAt(0, -116, u"d")};
  RecordingUi ui;

  RecordingPreviewArea even(342, 180);
  const json evenOps = drawnOps(f, even, ui);
  EXPECT_EQ(opsNamed(evenOps, "moveto"), json::parse(R"([["moveto", 171, 90]])"));
  EXPECT_EQ(opsNamed(evenOps, "textout"),
            json::parse(R"([["textout", 171, 96, "74"], ["textout", 171, 96, "64"]])"));

  // H = 181: cy = round(90.5) = 90; texts use cy - y s, dimensions and outline H - y s - cy.
  RecordingPreviewArea odd(342, 181);
  const json oddOps = drawnOps(f, odd, ui);
  EXPECT_EQ(opsNamed(oddOps, "moveto"), json::parse(R"([["moveto", 171, 91]])"));
  EXPECT_EQ(opsNamed(oddOps, "textout"),
            json::parse(R"([["textout", 171, 96, "74"], ["textout", 171, 97, "64"]])"));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST(profile_preview_test, overflow_stops_the_drawing_with_a_message) {
  // s = 1 in a 6600-pixel area: pixels equal profile units.
  RecordingPreviewArea area(6600, 180);
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.StartX = 29000;  // 29000 + 3300 = 32300
  f.SegmentLengths = {400, 400};
  f.SegmentAngles = {0.0, 0.0};
  f.TextMarks = {TextMark{u"never", 0, 0, 0.0F, 0.0F}};
  const json ops = drawnOps(f, area, ui);

  EXPECT_EQ(ops, json::parse(R"([["clear"], ["pen", 2, "#FFFFFF"], ["moveto", 32300, 90],
                                 ["lineto", 32700, 90], ["refresh"]])"));
  ASSERT_EQ(ui.boxes.size(), 1U);
  EXPECT_EQ(ui.boxes[0].text, u"Overflow");
  EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Information);
  EXPECT_FALSE(ui.boxes[0].titled);
}

TEST(profile_preview_test, flipping_a_vertex_beyond_sixteen_bits_is_an_overflow) {
  RecordingPreviewArea area(6600, 180);
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.StartY = -32700;  // P.y = -32610, and 180 - P.y does not fit
  const json ops = drawnOps(f, area, ui);
  EXPECT_EQ(ops, json::parse(R"([["clear"], ["pen", 2, "#FFFFFF"], ["refresh"]])"));
  ASSERT_EQ(ui.boxes.size(), 1U);
  EXPECT_EQ(ui.boxes[0].text, u"Overflow");
}

TEST(profile_preview_test, failure_after_fonts_were_made_still_releases_them) {
  RecordingPreviewArea area;
  RecordingUi ui;
  Flashing f = bareFlashing();
  f.TextMarks = {TextMark{u"t", 0, 0, 0.0F, 0.0F}};
  // 232 units below -32700 is beyond 16 bits.
  f.DimensionMarks = {dimensionAt(0, -32700, u"d", 0)};
  const json ops = drawnOps(f, area, ui);

  ASSERT_GE(ops.size(), 6U);
  EXPECT_EQ(ops[ops.size() - 6][0], "font");
  EXPECT_EQ(ops[ops.size() - 6][1]["width"], 7);
  EXPECT_EQ(json(ops.end() - 5, ops.end()),
            json::parse(R"([["select", "font"], ["refresh"], ["select", "previous"],
                            ["delete", "font"], ["delete", "font"]])"));
  EXPECT_EQ(opsNamed(ops, "textout").size(), 1U) << "the dimension text is not drawn";
  ASSERT_EQ(ui.boxes.size(), 1U);
  EXPECT_EQ(ui.boxes[0].text, u"Overflow");
}

TEST(profile_preview_test, values_no_pixel_can_hold_stop_the_drawing) {
  RecordingUi ui;
  {
    RecordingPreviewArea area;
    Flashing f = bareFlashing();
    f.SegmentLengths = {100};
    f.SegmentAngles = {std::numeric_limits<double>::quiet_NaN()};
    drawnOps(f, area, ui);
  }
  {
    RecordingPreviewArea area;
    Flashing f = bareFlashing();
    f.DimensionMarks = {dimensionAt(0, 0, u"d")};
    f.DimensionMarks[0].TextAngle = std::numeric_limits<float>::infinity();
    drawnOps(f, area, ui);
  }
  {
    // No width, no scale: the offset of a text cannot be worked out.
    RecordingPreviewArea area(0, 180);
    Flashing f = bareFlashing();
    f.TextMarks = {TextMark{u"t", 0, 0, 0.0F, 0.0F}};
    drawnOps(f, area, ui);
  }
  ASSERT_EQ(ui.boxes.size(), 3U);
  EXPECT_EQ(ui.boxes[0].text, u"Overflow");
  EXPECT_EQ(ui.boxes[1].text, u"Overflow");
  EXPECT_EQ(ui.boxes[2].text, u"Division by zero");
}

TEST(profile_preview_test, short_or_missing_lists_stop_with_subscript_out_of_range) {
  RecordingUi ui;
  {
    RecordingPreviewArea area;
    Flashing f = bareFlashing();
    f.SegmentLengths = {100, 100};
    f.SegmentAngles = {0.0};
    const json ops = drawnOps(f, area, ui);
    EXPECT_EQ(opsNamed(ops, "lineto").size(), 1U);
    EXPECT_EQ(ops.back(), json::array({"refresh"}));
  }
  {
    RecordingPreviewArea area;
    Flashing f = bareFlashing();
    f.TextMarks.reset();
    f.DimensionMarks = {dimensionAt(0, 0, u"d")};
    const json ops = drawnOps(f, area, ui);
    EXPECT_TRUE(opsNamed(ops, "textout").empty()) << "nothing after the missing list";
  }
  ASSERT_EQ(ui.boxes.size(), 2U);
  EXPECT_EQ(ui.boxes[0].text, u"Subscript out of range");
  EXPECT_EQ(ui.boxes[1].text, u"Subscript out of range");
}

TEST(profile_preview_test, flashing_without_profile_shows_an_empty_picture) {
  Flashing f;
  f.Name = u"新包角";
  RecordingUi ui;

  RecordingPreviewArea shown;
  drawPreview(testing::ridgeFlashing(), shown, ui);
  showFlashingPreview(f, shown, ui);
  EXPECT_EQ(canvas::opsJson(shown.recording().ops()), json::parse(R"([["clear"]])"));
  EXPECT_TRUE(ui.boxes.empty());

  // Drawn regardless, the never-created segment list stops it after the start point.
  RecordingPreviewArea drawn;
  drawPreview(f, drawn, ui);
  EXPECT_EQ(canvas::opsJson(drawn.recording().ops()),
            json::parse(R"([["clear"], ["pen", 2, "#FFFFFF"], ["moveto", 171, 90], ["refresh"]])"));
  ASSERT_EQ(ui.boxes.size(), 1U);
  EXPECT_EQ(ui.boxes[0].text, u"Subscript out of range");
}

}  // namespace
}  // namespace kvm::preview
