#include "canvas/canvas_json.h"

#include <gtest/gtest.h>

#include "canvas/recording_canvas.h"

namespace kvm::canvas {
namespace {

using nlohmann::json;

// One call of every kind, with values that show each field lands where it belongs.
void drawEveryKind(Canvas& canvas) {
  canvas.clear();
  canvas.pen(2, Rgb{0x12, 0xAB, 0x0F});
  canvas.moveTo(-3, 40000);
  canvas.lineTo(7, -8);
  LogicalFont font;
  font.height = 20;
  font.width = 6;
  font.escapement = -3345;
  font.orientation = 1;
  font.weight = 400;
  font.italic = 2;
  font.underline = 3;
  font.strikeOut = 4;
  font.charSet = 134;
  font.outPrecision = 5;
  font.clipPrecision = 6;
  font.quality = 7;
  font.pitchAndFamily = 6;
  font.faceName = u"宋体";
  canvas.createFont(font);
  canvas.selectFont(FontSelection::Created);
  canvas.setTextAlign(30);
  canvas.setTextColor(Rgb{255, 0, 255});
  canvas.textOut(1, 2, std::string("\x31\xA1\xE3\x00", 4));
  canvas.print(97.5, 69, u"*", PrintFont{u"宋体", 10.5, true});
  canvas.refresh();
  canvas.selectFont(FontSelection::Previous);
  canvas.deleteFont();
}

const char* const kEveryKind = R"([
  ["clear"],
  ["pen", 2, "#12AB0F"],
  ["moveto", -3, 40000],
  ["lineto", 7, -8],
  ["font", {"height": 20, "width": 6, "escapement": -3345, "orientation": 1, "weight": 400,
            "italic": 2, "underline": 3, "strikeOut": 4, "charSet": 134, "outPrecision": 5,
            "clipPrecision": 6, "quality": 7, "pitchAndFamily": 6, "faceName": "宋体"}],
  ["select", "font"],
  ["align", 30],
  ["textcolor", "#FF00FF"],
  ["textout", 1, 2, "31A1E300"],
  ["print", 97.5, 69, "*", {"face": "宋体", "size": 10.5, "bold": true}],
  ["refresh"],
  ["select", "previous"],
  ["delete", "font"]
])";

TEST(canvas_json_test, every_operation_has_its_script_form) {
  RecordingCanvas canvas;
  drawEveryKind(canvas);
  EXPECT_EQ(opsJson(canvas.ops()), json::parse(kEveryKind));
}

TEST(canvas_json_test, replay_gives_the_same_operations) {
  RecordingCanvas original;
  drawEveryKind(original);
  RecordingCanvas copy;
  replay(original.ops(), copy);
  EXPECT_EQ(copy.ops(), original.ops());
}

TEST(canvas_json_test, clear_keeps_only_what_follows_it) {
  RecordingCanvas canvas;
  EXPECT_EQ(opsJson(canvas.ops()), json::array());
  canvas.moveTo(1, 1);
  canvas.lineTo(2, 2);
  canvas.clear();
  canvas.refresh();
  EXPECT_EQ(opsJson(canvas.ops()), json::parse(R"([["clear"], ["refresh"]])"));
}

TEST(canvas_json_test, picture_dump_and_colours) {
  EXPECT_EQ(colourText(Rgb{0, 255, 0}), "#00FF00");
  EXPECT_EQ(colourText(Rgb{}), "#000000");
  const json picture = pictureJson(342, 180.5, {});
  EXPECT_EQ(picture, json::parse(R"({"width": 342, "height": 180.5, "ops": []})"));
  EXPECT_TRUE(picture.at("width").is_number_integer());
}

}  // namespace
}  // namespace kvm::canvas
