#include <gtest/gtest.h>

#include "dispatch/dispatch.h"
#include "host_error.h"
#include "platform/sim/host/model_space.h"
#include "platform/sim/host/sim_host.h"
#include "recording_sink.h"

namespace kvm::sim {
namespace {

// Keeps what a model space hands out.
class KeptDrawing : public DrawingSink {
 public:
  void text(const nlohmann::json& text) override { texts.push_back(text); }
  void line(const LineData& line) override { lines.push_back(line); }
  void polyline(const PolylineData& polyline) override { polylines.push_back(polyline); }

  std::vector<nlohmann::json> texts;
  std::vector<LineData> lines;
  std::vector<PolylineData> polylines;
};

class ShapeObjectsTest : public ::testing::Test {
 protected:
  ShapeObjectsTest()
      : modelSpace_(getObject(getObject(host_.application(), u"ActiveDocument"), u"ModelSpace")) {}

  DispatchPtr addLine(double x1, double y1, double x2, double y2) {
    return requireObject(call(modelSpace_, u"AddLine",
                              {Variant::doubles({x1, y1, 0}), Variant::doubles({x2, y2, 0})}));
  }

  RecordingSink sink_;
  SimHost host_{sink_};
  DispatchPtr modelSpace_;
};

TEST_F(ShapeObjectsTest, a_line_has_its_ends_a_layer_and_a_colour) {
  const DispatchPtr line = addLine(0, 0, 3000, 4000);
  EXPECT_EQ(get(line, u"ObjectName"), Variant(u"AcDbLine"));
  EXPECT_EQ(get(line, u"StartPoint"), Variant::doubles({0, 0, 0}));
  EXPECT_EQ(get(line, u"EndPoint"), Variant::doubles({3000, 4000, 0}));
  EXPECT_EQ(get(line, u"Length"), Variant(5000.0));
  EXPECT_EQ(get(line, u"Layer"), Variant(u"0"));
  EXPECT_EQ(get(line, u"color"), Variant(int32_t{256}));
  put(line, u"layer", u"bj-清单");  // the table's own spelling is kept
  put(line, u"color", int32_t{3});
  put(line, u"EndPoint", Variant::doubles({10, 20, 0}));
  EXPECT_EQ(get(line, u"Layer"), Variant(u"BJ-清单"));
  EXPECT_EQ(get(line, u"color"), Variant(int32_t{3}));
  EXPECT_EQ(get(line, u"Length"), Variant(std::hypot(10.0, 20.0)));
  // Texts stay what Count and Item reach.
  EXPECT_EQ(get(modelSpace_, u"Count"), Variant(int32_t{0}));
}

TEST_F(ShapeObjectsTest, a_polyline_takes_x_and_y_of_each_vertex) {
  const DispatchPtr polyline = requireObject(
      call(modelSpace_, u"AddLightWeightPolyline", {Variant::doubles({0, 0, 100, 0, 100, 50})}));
  EXPECT_EQ(get(polyline, u"ObjectName"), Variant(u"AcDbPolyline"));
  EXPECT_EQ(get(polyline, u"Coordinates"), Variant::doubles({0, 0, 100, 0, 100, 50}));
  EXPECT_EQ(get(polyline, u"Closed"), Variant(false));
  put(polyline, u"Closed", true);
  EXPECT_EQ(get(polyline, u"Closed"), Variant(true));
}

TEST_F(ShapeObjectsTest, bad_shapes_fail_with_the_platform_numbers) {
  EXPECT_HOST_ERROR_NUMBER(call(modelSpace_, u"AddLine", {Variant::doubles({0, 0, 0})}), 450);
  EXPECT_HOST_ERROR_NUMBER(
      call(modelSpace_, u"AddLine", {Variant::doubles({0, 0}), Variant::doubles({1, 1, 0})}), 5);
  EXPECT_HOST_ERROR_NUMBER(call(modelSpace_, u"AddLightWeightPolyline", {1.0}), 13);
  // One vertex, or an odd count of numbers, is no polyline.
  EXPECT_HOST_ERROR_NUMBER(call(modelSpace_, u"AddLightWeightPolyline", {Variant::doubles({0, 0})}),
                           5);
  EXPECT_HOST_ERROR_NUMBER(
      call(modelSpace_, u"AddLightWeightPolyline", {Variant::doubles({0, 0, 1, 1, 2})}), 5);
  const DispatchPtr line = addLine(0, 0, 1, 1);
  EXPECT_HOST_ERROR(put(line, u"Layer", u"BJ-引线"), 5, "Key not found");
  EXPECT_HOST_ERROR_NUMBER(put(line, u"color", int32_t{257}), 5);
  EXPECT_HOST_ERROR_NUMBER(put(line, u"Length", 2.0), 450);
  EXPECT_HOST_ERROR_NUMBER(get(line, u"Closed"), 438);
}

TEST_F(ShapeObjectsTest, hand_over_passes_the_drawing_on_and_forgets_it) {
  const DispatchPtr text = requireObject(
      call(modelSpace_, u"AddText", {u"3863", Variant::doubles({1550, -3050, 0}), 300.0}));
  put(text, u"Alignment", int32_t{10});
  put(addLine(0, 0, 30000, 0), u"color", int32_t{1});
  call(modelSpace_, u"AddLightWeightPolyline", {Variant::doubles({0, 0, 1, 1})});
  const nlohmann::json before = host_.dumpModelSpace();

  KeptDrawing kept;
  host_.activeModelSpace()->handOver(kept);
  ASSERT_EQ(kept.texts.size(), 1U);
  EXPECT_EQ(kept.texts[0], before[0]);  // a text arrives as the dump shows it
  ASSERT_EQ(kept.lines.size(), 1U);
  EXPECT_EQ(kept.lines[0].end, (Point3{30000, 0, 0}));
  EXPECT_EQ(kept.lines[0].layer, u"0");
  EXPECT_EQ(kept.lines[0].color, 1);
  ASSERT_EQ(kept.polylines.size(), 1U);
  EXPECT_EQ(kept.polylines[0].vertices, (std::vector<Vertex2>{{0, 0}, {1, 1}}));

  EXPECT_EQ(host_.dumpModelSpace(), nlohmann::json::array());
  EXPECT_EQ(get(modelSpace_, u"Count"), Variant(int32_t{0}));
  KeptDrawing again;
  host_.activeModelSpace()->handOver(again);
  EXPECT_TRUE(again.texts.empty() && again.lines.empty() && again.polylines.empty());
  // The text object handed out still answers whoever holds it.
  EXPECT_EQ(get(text, u"TextString"), Variant(u"3863"));
}

}  // namespace
}  // namespace kvm::sim
