#include "apps/kavelmor/takeoff/takeoff_report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "apps/kavelmor/takeoff/takeoff_command.h"
#include "tests/storage/temp_folder.h"

namespace kvm::cli {
namespace {

dxf::PlanTakeoff oneOfEach() {
  dxf::PlanTakeoff takeoff;
  takeoff.file = "p.dxf";
  dxf::LayerTakeoff layer;
  layer.name = "A";
  layer.lines = 1;
  layer.zeroLength = 1;
  layer.length = 2;
  takeoff.layers.push_back(layer);
  takeoff.paperSpace = 1;
  takeoff.skippedCount = 1;
  takeoff.skipped.push_back({"line 9", "a polyline with 1 vertex"});
  takeoff.warnings.push_back({"", "line 41", "no end marker"});
  return takeoff;
}

TEST(takeoff_report_test, counts_of_one_are_singular_and_notes_are_printed) {
  std::ostringstream out;
  printTakeoff(oneOfEach(), out);
  const std::string text = out.str();
  EXPECT_NE(text.find("  A: 1 flashing line, 2.0 mm; 1 segment shorter than 1 mm left out\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Paper space: 1 entity, not taken\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Skipped 1 damaged entity:\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Note: line 41: no end marker\n"), std::string::npos) << text;

  const nlohmann::ordered_json json = takeoffJson(oneOfEach());
  ASSERT_EQ(json.at("warnings").size(), 1U);
  EXPECT_EQ(
      json.at("warnings")[0],
      (nlohmann::ordered_json{{"layer", ""}, {"at", "line 41"}, {"problem", "no end marker"}}));
}

TEST(takeoff_report_test, a_plan_without_its_end_marker_is_taken_with_a_warning) {
  TempFolder folder;
  const auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return folder / name;
  };
  const std::string plan =
      "999\r\nwritten by a CAD program\r\n0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nLINE\r\n8\r\n"
      "A\r\n10\r\n0\r\n11\r\n3000\r\n0\r\nENDSEC\r\n";
  std::ostringstream out;
  std::ostringstream errors;
  TakeoffRequest request;
  request.plan = write("cut.dxf", plan).string();
  request.json = true;
  ASSERT_EQ(runTakeoff(request, out, errors), 0) << errors.str();
  const auto json = nlohmann::json::parse(out.str());
  EXPECT_EQ(json.at("layers")[0].at("lines"), 1);
  ASSERT_EQ(json.at("warnings").size(), 1U);
  EXPECT_EQ(json.at("warnings")[0].at("at"), "line 15");

  request.plan = write("empty.dxf", "").string();
  std::ostringstream emptyErrors;
  EXPECT_EQ(runTakeoff(request, out, emptyErrors), 1);
  EXPECT_EQ(emptyErrors.str(), "kavelmor takeoff: " + request.plan + ": the file is empty\n");
}

// A ridge drawn twice, partly, in a plan drawn in metres that does not say so.
TEST(takeoff_report_test, lines_drawn_twice_and_unlikely_units_are_warned_of) {
  TempFolder folder;
  const std::string plan =
      "0\nSECTION\n2\nENTITIES\n"
      "0\nLINE\n8\nRidge\n10\n0\n20\n7.4\n11\n30\n21\n7.4\n"
      "0\nLINE\n8\nRidge\n10\n30\n20\n7.4\n11\n10\n21\n7.4\n"
      "0\nLINE\n8\nGable\n10\n0\n20\n0\n11\n0\n21\n7.4\n"
      "0\nENDSEC\n0\nEOF\n";
  std::ofstream(folder / "plan.dxf", std::ios::binary) << plan;
  TakeoffRequest request;
  request.plan = (folder / "plan.dxf").string();
  request.json = true;
  std::ostringstream out;
  std::ostringstream errors;
  ASSERT_EQ(runTakeoff(request, out, errors), 0) << errors.str();
  const auto json = nlohmann::json::parse(out.str());
  ASSERT_EQ(json.at("warnings").size(), 2U) << out.str();
  EXPECT_EQ(json.at("warnings")[0],
            (nlohmann::json{{"layer", "Ridge"},
                            {"at", "the line from (30, 7.4) to (10, 7.4)"},
                            {"problem",
                             "drawn twice: it lies on the line from (0, 7.4) to (30, 7.4) for "
                             "20 mm, a flashing installed twice"}}));
  EXPECT_EQ(json.at("warnings")[1].at("layer"), "");
  EXPECT_NE(json.at("warnings")[1].at("problem").get<std::string>().find("--units m"),
            std::string::npos);

  // Read in metres, the plan fits a building; read in kilometres' worth, it does not.
  request.units = "m";
  std::ostringstream inMetres;
  ASSERT_EQ(runTakeoff(request, inMetres, errors), 0) << errors.str();
  EXPECT_EQ(nlohmann::json::parse(inMetres.str()).at("warnings").size(), 1U) << inMetres.str();
  request.json = false;
  request.units = "ft";
  std::ostringstream text;
  ASSERT_EQ(runTakeoff(request, text, errors), 0) << errors.str();
  EXPECT_NE(text.str().find(
                "Note: layer Ridge, the line from (9144, 2255.52) to (3048, 2255.52): drawn twice"),
            std::string::npos)
      << text.str();
}

TEST(takeoff_report_test, a_line_longer_than_a_building_is_warned_of) {
  TempFolder folder;
  std::ofstream(folder / "plan.dxf", std::ios::binary)
      << "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nRidge\n10\n0\n20\n0\n11\n30000\n21\n0\n"
         "0\nENDSEC\n0\nEOF\n";
  TakeoffRequest request;
  request.plan = (folder / "plan.dxf").string();
  request.json = true;
  request.units = "m";
  std::ostringstream out;
  std::ostringstream errors;
  ASSERT_EQ(runTakeoff(request, out, errors), 0) << errors.str();
  const auto json = nlohmann::json::parse(out.str());
  ASSERT_EQ(json.at("warnings").size(), 1U) << out.str();
  EXPECT_EQ(json.at("warnings")[0].at("problem"),
            "1 flashing line longer than 300 m (the longest 30 km), longer than a building: a "
            "plan drawn in millimetres read in m? give --units mm");
}

}  // namespace
}  // namespace kvm::cli
