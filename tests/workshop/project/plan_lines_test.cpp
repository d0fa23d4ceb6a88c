#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "platform/workshop/project/plan_checks.h"
#include "platform/workshop/project/plan_lines.h"
#include "tests/storage/temp_folder.h"

namespace kvm::workshop {
namespace {

// A release-12 plan: a line on "Ridge", a quarter arc of radius 1000 on "Arcs", in metres.
constexpr const char* kPlan =
    "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n6\n0\nENDSEC\n"
    "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nRidge\n0\nLAYER\n2\nArcs\n"
    "0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
    "0\nLINE\n8\nRidge\n10\n0\n20\n7.4\n11\n30\n21\n7.4\n"
    "0\nARC\n8\nArcs\n10\n0\n20\n0\n40\n1\n50\n0\n51\n90\n"
    "0\nENDSEC\n0\nEOF\n";

Project projectWith(const std::filesystem::path& plan, std::vector<std::string> layers) {
  Project project;
  project.plan = plan;
  ProjectFlashing row;
  row.currentUse = u"库:屋脊";
  row.layers = std::move(layers);
  row.place = "p.json:3:5: currentUse[0]";
  row.field = "currentUse[0]";
  project.flashings.push_back(row);
  return project;
}

TEST(plan_lines_test, rows_get_the_lines_of_their_layers_arcs_as_straight_lines_of_their_length) {
  const TempFolder folder;
  std::ofstream(folder / "plan.dxf") << kPlan;
  Project project = projectWith(folder / "plan.dxf", {"RIDGE", "arcs"});
  EXPECT_TRUE(needsPlan(project));
  const dxf::PlanTakeoff takeoff = takeLinesFromPlan(project, "");
  EXPECT_EQ(takeoff.units, "m");
  const std::vector<PlanLine>& lines = project.flashings[0].lines;
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_DOUBLE_EQ(lines[0].startY, 7400);
  EXPECT_DOUBLE_EQ(lines[0].endX, 30000);
  // The arc from (1000, 0) towards (0, 1000), as long as the arc.
  EXPECT_DOUBLE_EQ(lines[1].startX, 1000);
  EXPECT_NEAR(std::hypot(lines[1].endX - lines[1].startX, lines[1].endY - lines[1].startY),
              500 * std::numbers::pi, 1e-9);
  EXPECT_NEAR(lines[1].endX + lines[1].endY, 1000, 1e-9);  // on the chord's line

  Project inMillimetres = projectWith(folder / "plan.dxf", {"Ridge"});
  takeLinesFromPlan(inMillimetres, "mm");
  EXPECT_DOUBLE_EQ(inMillimetres.flashings[0].lines[0].endX, 30);
}

TEST(plan_lines_test, a_layer_the_plan_lacks_names_the_row_and_the_plans_layers) {
  const TempFolder folder;
  std::ofstream(folder / "plan.dxf") << kPlan;
  Project project = projectWith(folder / "plan.dxf", {"Gable"});
  try {
    takeLinesFromPlan(project, "");
    FAIL() << "no error";
  } catch (const ProjectError& error) {
    EXPECT_EQ(std::string(error.what()),
              "p.json:3:5: currentUse[0]: layer \"Gable\" is not in the plan " +
                  (folder / "plan.dxf").string() + " (its layers: Ridge, Arcs)");
    EXPECT_EQ(error.field(), "currentUse[0]");
    EXPECT_EQ(error.layers(), std::vector<std::string>{"Gable"});
  }
}

TEST(plan_lines_test, a_row_holds_at_most_the_lines_a_flashing_keeps) {
  const TempFolder folder;
  {
    std::ofstream plan(folder / "plan.dxf");
    plan << "0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < 8193; ++i) {
      plan << "0\nLINE\n8\nA\n10\n0\n20\n" << i << "\n11\n5\n21\n" << i << "\n";
    }
    plan << "0\nENDSEC\n0\nEOF\n";
  }
  Project project = projectWith(folder / "plan.dxf", {"A"});
  try {
    takeLinesFromPlan(project, "");
    FAIL() << "no error";
  } catch (const ProjectError& error) {
    EXPECT_EQ(std::string(error.what()),
              "p.json:3:5: currentUse[0]: its layers hold more than 8192 lines, more than the "
              "component keeps for one flashing");
  }
}

}  // namespace
}  // namespace kvm::workshop

namespace kvm::workshop {
namespace {

TEST(plan_lines_test, a_plan_in_metres_without_its_units_is_noted) {
  const TempFolder folder;
  std::string plan = kPlan;
  plan.replace(plan.find("9\n$INSUNITS\n70\n6\n"), 17, "");
  std::ofstream(folder / "plan.dxf") << plan;
  Project project = projectWith(folder / "plan.dxf", {"Ridge", "Arcs"});
  takeLinesFromPlan(project, "");
  ASSERT_EQ(project.planNotes.size(), 1U);
  EXPECT_EQ(project.planNotes[0].layer, "");
  EXPECT_NE(project.planNotes[0].problem.find("every flashing line is shorter than 100 mm (the "
                                              "longest 30 mm)"),
            std::string::npos)
      << project.planNotes[0].problem;
  EXPECT_EQ(project.flashings[0].layerLineEnds, (std::vector<std::size_t>{1, 2}));

  // Units the user gives, or the plan's own, are taken as meant.
  Project given = projectWith(folder / "plan.dxf", {"Ridge"});
  takeLinesFromPlan(given, "mm");
  EXPECT_TRUE(given.planNotes.empty());
  std::ofstream(folder / "metres.dxf") << kPlan;
  Project declared = projectWith(folder / "metres.dxf", {"Ridge"});
  takeLinesFromPlan(declared, "");
  EXPECT_TRUE(declared.planNotes.empty());
}

// A line of 0.4 mm is a drawing's rounding: cut, it would be a whole piece of the end
// extension. It goes where a segment of no length goes, for the bill and the take-off alike.
TEST(plan_lines_test, segments_shorter_than_a_millimetre_are_left_out_as_those_of_no_length) {
  const TempFolder folder;
  std::ofstream(folder / "plan.dxf")
      << "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
         "0\nLINE\n8\nA\n10\n0\n20\n0\n11\n30000\n21\n0\n"
         "0\nLINE\n8\nA\n10\n0\n20\n100\n11\n0.4\n21\n100\n"
         "0\nLINE\n8\nA\n10\n5\n20\n200\n11\n5\n21\n200\n"
         "0\nLINE\n8\nA\n10\n0\n20\n300\n11\n1\n21\n300\n"
         "0\nENDSEC\n0\nEOF\n";
  Project project = projectWith(folder / "plan.dxf", {"A"});
  const dxf::PlanTakeoff takeoff = takeLinesFromPlan(project, "");
  const std::vector<PlanLine>& lines = project.flashings[0].lines;
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_DOUBLE_EQ(lines[0].endX, 30000);
  EXPECT_DOUBLE_EQ(lines[1].endX, 1);  // a millimetre is a line
  ASSERT_EQ(takeoff.layers.size(), 1U);
  EXPECT_EQ(takeoff.layers[0].lines, 2U);
  EXPECT_EQ(takeoff.layers[0].zeroLength, 2U);
  EXPECT_DOUBLE_EQ(takeoff.layers[0].length, 30001);
  ASSERT_EQ(project.planNotes.size(), 1U);
  EXPECT_EQ(project.planNotes[0].layer, "A");
  EXPECT_EQ(project.planNotes[0].problem,
            "2 segments shorter than 1 mm left out (no length, or a drawing's rounding): no "
            "metal");

  PlanLineCollector collected;
  dxf::PlanTakeoff checked = dxf::readPlan(folder / "plan.dxf", {""}, &collected);
  checkPlanLines(checked, collected, folder / "plan.dxf", false);
  ASSERT_EQ(collected.layers().size(), 1U);
  EXPECT_EQ(collected.layers()[0].size(), 2U);
  EXPECT_EQ(checked.layers[0].lines, 2U);
  EXPECT_EQ(checked.layers[0].zeroLength, 2U);
  EXPECT_DOUBLE_EQ(checked.layers[0].length, 30001);
}

}  // namespace
}  // namespace kvm::workshop
