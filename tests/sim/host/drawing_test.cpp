#include <gtest/gtest.h>

#include "dispatch/dispatch.h"
#include "host_error.h"
#include "platform/sim/host/sim_host.h"
#include "recording_sink.h"

namespace kvm::sim {
namespace {

// The drawing side of the host: model space, texts, system variables and the command line.
class DrawingTest : public ::testing::Test {
 protected:
  DrawingTest()
      : document_(getObject(host_.application(), u"ActiveDocument")),
        modelSpace_(getObject(document_, u"ModelSpace")) {}

  DispatchPtr addText(const char16_t* text, double x, double y, double height) {
    return requireObject(call(modelSpace_, u"AddText",
                              {Variant(text), Variant::doubles({x, y, 0}), Variant(height)}));
  }

  RecordingSink sink_;
  SimHost host_{sink_};
  DispatchPtr document_;
  DispatchPtr modelSpace_;
};

TEST_F(DrawingTest, add_text_gives_the_host_defaults) {
  const DispatchPtr text = addText(u"L=12", 10, 20, 300);
  EXPECT_EQ(text->typeName(), u"Text");
  EXPECT_EQ(get(text, u"TextString"), Variant(u"L=12"));
  EXPECT_EQ(get(text, u"InsertionPoint"), Variant::doubles({10, 20, 0}));
  EXPECT_EQ(get(text, u"TextAlignmentPoint"), Variant::doubles({10, 20, 0}));
  EXPECT_EQ(get(text, u"Alignment"), Variant(int32_t{0}));
  EXPECT_EQ(get(text, u"Height"), Variant(300.0));
  EXPECT_EQ(get(text, u"StyleName"), Variant(u"Standard"));
  EXPECT_EQ(get(text, u"layer"), Variant(u"0"));
  EXPECT_EQ(get(text, u"ScaleFactor"), Variant(1.0));
  EXPECT_EQ(get(text, u"color"), Variant(int32_t{256}));
  EXPECT_EQ(get(text, u"Linetype"), Variant(u"ByLayer"));
  EXPECT_EQ(get(text, u"LinetypeScale"), Variant(1.0));
  EXPECT_EQ(get(text, u"Lineweight"), Variant(int32_t{-1}));
  EXPECT_EQ(get(modelSpace_, u"Count"), Variant(int32_t{1}));
  EXPECT_EQ(get(modelSpace_, u"Item", {int32_t{0}}).objectValue(), text);

  const nlohmann::json dump = host_.dumpModelSpace();
  ASSERT_EQ(dump.size(), 1U);
  EXPECT_EQ(dump[0], nlohmann::json::parse(R"({"text": "L=12", "insertion": [10, 20, 0],
      "alignmentPoint": [10, 20, 0], "alignment": 0, "height": 300, "style": "Standard",
      "layer": "0", "scaleFactor": 1, "color": 256, "linetype": "ByLayer", "linetypeScale": 1,
      "lineweight": -1, "bbox": [[10, 20, 0], [610, 320, 0]]})"));
}

TEST_F(DrawingTest, bill_text_properties_and_bounding_box_by_reference) {
  // What the bill output does to each of its texts.
  const DispatchPtr text = addText(u"累计面积 12m", 0, 0, 300);
  put(text, u"Alignment", int16_t{6});
  put(text, u"TextAlignmentPoint", Variant::doubles({4115, -1680, 0}));
  put(text, u"StyleName", u"HZTXT");
  put(text, u"Layer", u"BJ-清单");
  put(text, u"ScaleFactor", 0.7);
  put(text, u"color", int16_t{7});
  put(text, u"Linetype", u"bylayer");
  put(text, u"LinetypeScale", int16_t{1});
  put(text, u"Lineweight", int16_t{-1});
  std::vector<Variant> corners{Variant(), Variant()};
  EXPECT_TRUE(callByRef(text, u"GetBoundingBox", corners).isEmpty());
  // 6 heights × 0.7 = 1260 wide, hanging from the alignment point.
  EXPECT_EQ(corners[0], Variant::doubles({4115, -1980, 0}));
  EXPECT_EQ(corners[1], Variant::doubles({5375, -1680, 0}));

  const nlohmann::json dump = host_.dumpModelSpace()[0];
  EXPECT_EQ(dump["insertion"], nlohmann::json::parse("[0, 0, 0]"));
  EXPECT_EQ(dump["alignmentPoint"], nlohmann::json::parse("[4115, -1680, 0]"));
  EXPECT_EQ(dump["style"], "HZTXT");
  EXPECT_EQ(dump["layer"], "BJ-清单");
  EXPECT_EQ(dump["linetype"], "ByLayer");
  EXPECT_EQ(dump["color"], 7);
}

TEST_F(DrawingTest, missing_layers_and_styles_are_not_found) {
  const DispatchPtr text = addText(u"x", 0, 0, 10);
  EXPECT_HOST_ERROR(put(text, u"Layer", u"BJ-引线"), 5, "Key not found");
  EXPECT_HOST_ERROR(put(text, u"StyleName", u"Romans"), 5, "Key not found");
  host_.configure(nlohmann::json::parse(R"({"layers": ["0", "BJ-引线"], "styles": ["Standard"]})"));
  put(text, u"Layer", u"BJ-引线");
  EXPECT_EQ(get(text, u"Layer"), Variant(u"BJ-引线"));
  EXPECT_HOST_ERROR(put(text, u"StyleName", u"HZTXT"), 5, "Key not found");
}

TEST_F(DrawingTest, members_fail_with_the_platform_numbers) {
  const DispatchPtr text = addText(u"x", 0, 0, 10);
  EXPECT_HOST_ERROR_NUMBER(get(text, u"Rotationn"), 438);
  EXPECT_HOST_ERROR_NUMBER(put(text, u"ObjectName", u"x"), 450);
  EXPECT_HOST_ERROR_NUMBER(call(text, u"GetBoundingBox", {Variant()}), 450);
  EXPECT_HOST_ERROR_NUMBER(put(text, u"Height", u"high"), 13);
  EXPECT_HOST_ERROR_NUMBER(put(text, u"Height", -1.0), 5);
  EXPECT_HOST_ERROR_NUMBER(put(text, u"Alignment", int16_t{15}), 5);
  EXPECT_HOST_ERROR_NUMBER(put(text, u"Lineweight", int16_t{12}), 5);
  EXPECT_HOST_ERROR_NUMBER(call(modelSpace_, u"AddText", {u"x", Variant::doubles({0, 0}), 1.0}), 5);
  EXPECT_HOST_ERROR_NUMBER(call(modelSpace_, u"AddText", {u"x", 0.0, 1.0}), 13);
  EXPECT_HOST_ERROR_NUMBER(call(modelSpace_, u"AddText", {u"x"}), 450);
  EXPECT_HOST_ERROR_NUMBER(get(modelSpace_, u"Item", {int32_t{1}}), 5);
}

TEST_F(DrawingTest, prompt_writes_to_the_command_line) {
  call(getObject(document_, u"Utility"), u"Prompt", {u"\n清单已输出"});
  ASSERT_EQ(sink_.events.size(), 1U);
  EXPECT_EQ(sink_.events[0], nlohmann::json({{"prompt", "\n清单已输出"}}));
}

TEST_F(DrawingTest, system_variables) {
  EXPECT_EQ(call(document_, u"GetVariable", {u"users1"}), Variant(u""));
  EXPECT_EQ(call(document_, u"GetVariable", {u"USERS5"}), Variant(u""));
  call(document_, u"SetVariable", {u"Users1", u"\"(lstdang gong jkdag)\""});
  EXPECT_EQ(call(document_, u"GetVariable", {u"USERS1"}), Variant(u"\"(lstdang gong jkdag)\""));
  EXPECT_HOST_ERROR_NUMBER(call(document_, u"GetVariable", {u"USERS6"}), 5);
  EXPECT_HOST_ERROR_NUMBER(call(document_, u"SetVariable", {u"NOSUCH", u""}), 5);
  EXPECT_HOST_ERROR_NUMBER(call(document_, u"SetVariable", {u"USERS2", int32_t{1}}), 13);

  host_.configure(
      nlohmann::json::parse(R"({"sysvars": {"USERS2": "x", "ltscale": 10, "Dimscale": 2.5}})"));
  EXPECT_EQ(call(document_, u"GetVariable", {u"ltscale"}), Variant(int16_t{10}));
  call(document_, u"SetVariable", {u"LTSCALE", 3.0});
  EXPECT_EQ(call(document_, u"GetVariable", {u"ltscale"}), Variant(int16_t{3}));
  EXPECT_EQ(host_.dumpSysvars(),
            nlohmann::json::parse(R"({"USERS1": "\"(lstdang gong jkdag)\"", "USERS2": "x",
                "USERS3": "", "USERS4": "", "USERS5": "", "LTSCALE": 3, "DIMSCALE": 2.5})"));
}

}  // namespace
}  // namespace kvm::sim
