#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {
namespace {

// What the reader says about a project text, or "" when it reads.
std::string complaint(const std::string& text) {
  try {
    parseProject(text, "p.json");
  } catch (const ProjectError& error) {
    return error.what();
  }
  return "";
}

const char* const kProject = R"({
  "project": {"name": "车间", "plateThickness": 0.5, "lengthClassStep": "300",
              "textHeight": 300},
  "billOrigin": [36000, 14800.5],
  "outline": [{"start": [0, 0], "end": [30000, 0]}],
  "currentUse": [
    {"flashing": "彩钢板屋面:屋脊包角", "mode": 0,
     "lines": [{"start": [0, 7400], "end": [30000, 7400]}]},
    {"flashing": "彩钢墙面:转角包角", "mode": 2, "lines": [{"start": [0, 0], "end": [0, 5850]}]}
  ]
})";

TEST(project_file_test, reads_settings_origin_outline_and_current_use) {
  const Project project = parseProject(kProject, "p.json");
  EXPECT_EQ(project.settings.ProjectName, u"车间");
  EXPECT_EQ(project.settings.PlateThickness, u"0.5");  // a number is taken as its text
  EXPECT_EQ(project.settings.LengthClassStep, u"300");
  EXPECT_EQ(project.settings.TextHeight, u"300");
  EXPECT_EQ(project.originX, 36000);
  EXPECT_EQ(project.originY, 14800.5);
  ASSERT_EQ(project.outline.size(), 1U);
  EXPECT_EQ(project.outline[0].endX, 30000);
  ASSERT_EQ(project.flashings.size(), 2U);
  EXPECT_EQ(project.flashings[0].currentUse, u"彩钢板屋面:屋脊包角");
  EXPECT_EQ(project.flashings[0].mode, kModeEqualPieces);
  ASSERT_EQ(project.flashings[0].lines.size(), 1U);
  EXPECT_EQ(project.flashings[0].lines[0].startY, 7400);
  EXPECT_EQ(project.flashings[1].mode, kModeEconomic);
  EXPECT_EQ(project.flashings[1].lines.size(), 1U);
}

TEST(project_file_test, a_bad_field_is_named_with_its_line_and_column) {
  std::string text = kProject;
  text.replace(text.find("\"mode\": 2"), 9, "\"mode\": 3");
  EXPECT_EQ(complaint(text),
            "p.json:9:39: currentUse[1].mode: must be 0 (equal pieces), 1 (full-length pieces) "
            "or 2 (one piece where it fits)");

  text = kProject;
  text.replace(text.find("[0, 7400]"), 9, "[0, 7400, 0]");
  EXPECT_EQ(
      complaint(text),
      "p.json:8:26: currentUse[0].lines[0].start: must be a point [x, y] of two numbers (mm)");

  text = kProject;
  text.replace(text.find("\"lines\": [{\"start\": [0, 0]"), 7, "\"Lines\"");
  EXPECT_EQ(complaint(text),
            "p.json:9:51: currentUse[1].Lines: is not a field of this object (its fields: "
            "flashing, mode, lines, layers)");
}

TEST(project_file_test, a_row_without_lines_is_refused) {
  std::string text = kProject;
  text.replace(text.find("[{\"start\": [0, 0], \"end\": [0, 5850]}]"), 37, "[]");
  EXPECT_EQ(complaint(text),
            "p.json:9:51: currentUse[1].lines: holds no lines: the row has nothing to cut");
}

TEST(project_file_test, a_key_given_twice_is_named_at_its_place) {
  std::string text = kProject;
  text.replace(text.find("\"mode\": 2"), 9, "\"mode\": 2, \"mode\": 1");
  EXPECT_EQ(complaint(text), "p.json:9:39: currentUse[1].mode: is given twice");
  text = kProject;
  text.replace(text.find("\"textHeight\""), 12, "\"name\": \"x\", \"textHeight\"");
  EXPECT_EQ(complaint(text), "p.json:2:23: project.name: is given twice");
}

TEST(project_file_test, a_file_that_is_not_utf8_gets_a_hint) {
  // "车间" in GBK, and the project as Windows Notepad saves "Unicode".
  std::string gbk = kProject;
  gbk.replace(gbk.find("车间"), std::string("车间").size(), "\xB3\xB5\xBC\xE4");
  EXPECT_EQ(
      complaint(gbk),
      "p.json:2:24: is not UTF-8 (GBK, as a Chinese Windows editor saves?); save it as UTF-8");
  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string(R"({"project": 1})")) {
    utf16 += c;
    utf16 += '\0';
  }
  EXPECT_EQ(complaint(utf16), "p.json: is UTF-16 (Unicode); save it as UTF-8");
}

// Bytes that only look like UTF-8 are refused where they stand, as any other, not read into
// names that the pages would later show as U+FFFD.
TEST(project_file_test, overlong_forms_surrogates_and_cut_characters_are_not_utf8) {
  for (const std::string bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                "\xF5\x80\x80\x80", "\xE8\xBD"}) {
    std::string text = kProject;
    text.replace(text.find("车间"), std::string("车间").size(), "车" + bad);
    EXPECT_EQ(complaint(text),
              "p.json:2:25: is not UTF-8 (GBK, as a Chinese Windows editor saves?); save it as "
              "UTF-8")
        << testing::PrintToString(bad);
  }
  std::string end = kProject;
  end += "\n\xE8";
  EXPECT_EQ(complaint(end).substr(0, 11), "p.json:12:1");
}

TEST(project_file_test, a_folder_is_no_project_file) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  try {
    readProjectFile(folder);
    FAIL() << "a folder was read";
  } catch (const ProjectError& error) {
    EXPECT_EQ(std::string(error.what()), folder.string() + ": is a folder, not a project file");
  }
}

TEST(project_file_test, json_that_does_not_parse_names_its_place) {
  const std::string message = complaint("{\n  \"project\": ,\n}");
  EXPECT_EQ(message.rfind("p.json:2:14: not JSON: ", 0), 0U) << message;
}

// The project with one more top-level field.
std::string withField(const std::string& field) {
  std::string text = kProject;
  text.insert(text.find("\"billOrigin\""), field + ",\n  ");
  return text;
}

TEST(project_file_test, coil_and_prices_are_read_and_checked) {
  const Project plain = parseProject(kProject, "p.json");
  EXPECT_EQ(plain.coil.width, 1250);
  EXPECT_EQ(plain.coil.trim, 0);
  EXPECT_FALSE(plain.prices);

  const Project priced = parseProject(
      withField(R"("coil": {"width": 1200, "trim": 10}, "prices": {"sheet": {"天蓝色/0.5": 38.5},)"
                R"( "perBendPerMetre": 0.8, "currency": "CNY"})"),
      "p.json");
  EXPECT_EQ(priced.coil.width, 1200);
  EXPECT_EQ(priced.coil.trim, 10);
  ASSERT_TRUE(priced.prices);
  EXPECT_EQ(priced.prices->sheet.at("天蓝色/0.5"), 38.5);
  EXPECT_EQ(priced.prices->perBendPerMetre, 0.8);
  EXPECT_EQ(priced.prices->currency, "CNY");

  EXPECT_EQ(complaint(withField(R"("coil": {"width": 1250, "trim": 1250})")),
            "p.json:4:35: coil.trim: must leave some of the coil's width: it is 1250 mm of a "
            "1250 mm coil");
  EXPECT_NE(complaint(withField(R"("coil": {"width": -5})")).find("coil.width: must be"),
            std::string::npos);
  EXPECT_NE(complaint(withField(R"("coil": {"breadth": 1000})")).find("not a field"),
            std::string::npos);
  EXPECT_EQ(plain.coil.maxSheet, 0);  // the longest piece of the bill
  EXPECT_EQ(parseProject(withField(R"("coil": {"maxSheet": 6000})"), "p.json").coil.maxSheet, 6000);
  EXPECT_NE(complaint(withField(R"("coil": {"maxSheet": 0})")).find("coil.maxSheet: must be"),
            std::string::npos);
  EXPECT_NE(complaint(withField(R"("prices": {"sheet": {"天蓝色": 38.5}})"))
                .find("must be named \"colour/thickness\""),
            std::string::npos);
  EXPECT_NE(complaint(withField(R"("prices": {"perBendPerMetre": -1})")).find("not negative"),
            std::string::npos);
}

TEST(project_file_test, missing_and_mistyped_values) {
  EXPECT_EQ(complaint("[]"), "p.json:1:1: (the whole file): a project is a JSON object");
  std::string text = kProject;
  text.replace(text.find("\"billOrigin\""), 12, "\"origin\"");
  EXPECT_EQ(complaint(text).substr(0, 27), "p.json:4:13: origin: is not");
  EXPECT_EQ(complaint(R"({"project": {"name": "x", "plateThickness": "0.5",
      "lengthClassStep": "300", "textHeight": "300"}, "billOrigin": [0, 0]})"),
            "p.json:1:1: currentUse: is missing");
  EXPECT_EQ(complaint(R"({"project": {"name": true}, "billOrigin": [0, 0], "currentUse": []})"),
            "p.json:1:22: project.name: must be a string or a number");
}

TEST(project_file_test, flashings_and_lines_the_component_could_not_take) {
  std::string text = kProject;
  text.replace(text.find("彩钢墙面:转角包角"), std::string("彩钢墙面:转角包角").size(), "转角包角");
  EXPECT_EQ(complaint(text),
            "p.json:9:18: currentUse[1].flashing: must name the library and the flashing as "
            "\"library:flashing\"");
  text = kProject;
  text.replace(text.find("[30000, 7400]"), 13, "[0, 7400]");
  EXPECT_EQ(complaint(text),
            "p.json:8:16: currentUse[0].lines[0]: has no length: its start and end are the same "
            "point");
  // A line shorter than a millimetre is a drawing's rounding, refused as one of no length.
  text = kProject;
  text.replace(text.find("[30000, 7400]"), 13, "[0.4, 7400]");
  EXPECT_EQ(complaint(text),
            "p.json:8:16: currentUse[0].lines[0]: is 0.4 mm long, shorter than 1 mm: a drawing's "
            "rounding, no flashing line");
  text = kProject;
  text.replace(text.find("[30000, 7400]"), 13, "[0.6, 7400.8]");
  EXPECT_NO_THROW(parseProject(text, "p.json"));
  text = kProject;
  text.replace(text.find("[30000, 7400]"), 13, "[3e9, 7400]");
  EXPECT_EQ(complaint(text),
            "p.json:8:44: currentUse[0].lines[0].end: must lie within 1000 km of the drawing's "
            "origin");
  text = kProject;
  text.replace(text.find("屋脊包角"), std::string("屋脊包角").size(), "屋脊\\u0001包角");
  EXPECT_EQ(complaint(text),
            "p.json:7:18: currentUse[0].flashing: holds a control character of code 0 to 5");
}

TEST(project_file_test, rows_take_layers_or_the_layer_named_like_their_flashing) {
  constexpr std::string_view kCornerLines = R"("lines": [{"start": [0, 0], "end": [0, 5850]}])";
  std::string text = kProject;
  text.replace(text.find(kCornerLines), kCornerLines.size(),
               "\"layers\": [\"BJ-转角\", \"BJ-角\"]");
  text.replace(text.find("\"currentUse\""), 12, "\"plan\": \"a/plan.dxf\", \"currentUse\"");
  Project project = parseProject(text, "p.json");
  EXPECT_EQ(project.plan, "a/plan.dxf");
  EXPECT_EQ(project.flashings[1].layers, (std::vector<std::string>{"BJ-转角", "BJ-角"}));
  EXPECT_EQ(project.flashings[1].place, "p.json:9:5: currentUse[1]");
  EXPECT_TRUE(project.flashings[0].layers.empty());

  text = kProject;
  text.replace(text.find(kCornerLines) - 2, kCornerLines.size() + 2, "");
  project = parseProject(text, "p.json");
  EXPECT_EQ(project.flashings[1].layers, (std::vector<std::string>{"转角包角"}));

  text = kProject;
  text.replace(text.find(kCornerLines), kCornerLines.size(),
               std::string(kCornerLines) + ", \"layers\": [\"A\"]");
  EXPECT_EQ(complaint(text),
            "p.json:9:100: currentUse[1].layers: a row takes lines or layers, not both");
  text = kProject;
  text.replace(text.find(kCornerLines), kCornerLines.size(), "\"layers\": [\"\"]");
  EXPECT_EQ(complaint(text), "p.json:9:53: currentUse[1].layers[0]: must be a layer name");
  text = kProject;
  text.replace(text.find("\"currentUse\""), 12, "\"plan\": 3, \"currentUse\"");
  EXPECT_EQ(complaint(text).substr(0, 20), "p.json:6:11: plan: m");
}

TEST(project_file_test, a_flashing_holds_at_most_the_lines_the_component_keeps) {
  std::string lines;
  for (std::size_t i = 0; i <= kMaxLinesPerFlashing; ++i) {
    lines += (i == 0 ? "" : ",") + std::string(R"({"start": [0, 0], "end": [1, 0]})");
  }
  const std::string text =
      R"({"project": {"name": "x", "plateThickness": 1, "lengthClassStep": 0, "textHeight": 300},
 "billOrigin": [0, 0], "currentUse": [{"flashing": "a:b", "mode": 0, "lines": [)" +
      lines + "]}]}";
  EXPECT_EQ(complaint(text),
            "p.json:2:79: currentUse[0].lines: holds more than 8192 lines, more than the "
            "component keeps for one flashing");
}

}  // namespace
}  // namespace kvm::workshop

namespace kvm::workshop {
namespace {

TEST(project_file_test, every_row_knows_its_place_and_its_flashings) {
  const Project project = parseProject(kProject, "p.json");
  EXPECT_EQ(project.flashings[0].place, "p.json:7:5: currentUse[0]");
  EXPECT_EQ(project.flashings[0].namePlace, "p.json:7:18: currentUse[0].flashing");
  EXPECT_EQ(project.flashings[1].namePlace, "p.json:9:18: currentUse[1].flashing");
}

TEST(project_file_test, a_row_given_twice_is_refused_naming_both) {
  // The same lines the other way round, and the same layers in another order and case.
  std::string text = kProject;
  text.replace(text.find("{\"flashing\": \"彩钢墙面"), 0,
               R"({"flashing": "彩钢板屋面:屋脊包角 ", "mode": 1,
     "lines": [{"start": [30000, 7400], "end": [0, 7400]}]},
    )");
  EXPECT_EQ(complaint(text),
            "p.json:9:5: currentUse[1]: the same flashing with the same lines as p.json:7:5: "
            "currentUse[0]: each of its lines would be billed twice; remove one of the rows");
  text = kProject;
  text.replace(text.find("]\n}"), 0,
               R"(, {"flashing": "a:b", "mode": 0, "layers": ["X", "y"]},
    {"flashing": "a:b", "mode": 2, "layers": ["Y", "x"]})");
  EXPECT_EQ(complaint(text).rfind("p.json:11:5: currentUse[3]: the same flashing with the same "
                                  "layers as p.json:10:5: currentUse[2]: ",
                                  0),
            0U)
      << complaint(text);
  // Other lines, or another flashing, are another row.
  text = kProject;
  text.replace(text.find("]\n}"), 0,
               R"(, {"flashing": "a:b", "mode": 0}, {"flashing": "a:c", "mode": 0, "layers": ["b"]},
    {"flashing": "彩钢墙面:转角包角", "mode": 2, "lines": [{"start": [1, 0], "end": [0, 5850]}]})");
  EXPECT_EQ(complaint(text), "");
}

TEST(project_file_test, sheet_prices_know_their_place) {
  std::string text = kProject;
  text.replace(text.find("\"currentUse\""), 0, "\"prices\": {\"sheet\": {\"天兰色/0.5\": 3}},\n  ");
  const Project project = parseProject(text, "p.json");
  ASSERT_TRUE(project.prices);
  EXPECT_EQ(project.prices->sheetPlaces.at("天兰色/0.5"), "p.json:6:35: prices.sheet.天兰色/0.5");
}

// A front end shows an error where it belongs from the field and the layers the error carries,
// not from its words.
TEST(project_file_test, a_refusal_carries_its_field_and_the_rows_layers) {
  const auto refusal = [](const std::string& text) -> ProjectError {
    try {
      parseProject(text, "p.json");
    } catch (const ProjectError& error) {
      return error;
    }
    return ProjectError("read");
  };
  const std::string rows = R"("billOrigin": [0, 0], "currentUse": [
    {"flashing": "L:Ridge", "mode": 0},
    {"flashing": "L:Gable", "mode": 9, "layers": ["G1", "G2"]}]})";
  const std::string settings =
      R"({"project": {"name": "a", "plateThickness": "0.5", "lengthClassStep": 300, )";

  ProjectError error = refusal(settings + R"("textHeight": [1]}, )" + rows);
  EXPECT_EQ(error.field(), "project.textHeight");
  EXPECT_TRUE(error.layers().empty());

  error = refusal(settings + R"("textHeight": 300}, )" + rows);
  EXPECT_EQ(error.field(), "currentUse[1].mode");
  EXPECT_EQ(error.layers(), (std::vector<std::string>{"G1", "G2"}));
  EXPECT_EQ(std::string(error.what()).substr(0, 32), "p.json:3:37: currentUse[1].mode:");

  // A row without layers takes the layer named like its flashing.
  error = refusal(settings + R"("textHeight": 300}, "billOrigin": [0, 0], "currentUse": [
    {"flashing": "L:Ridge", "mode": "0"}]})");
  EXPECT_EQ(error.field(), "currentUse[0].mode");
  EXPECT_EQ(error.layers(), std::vector<std::string>{"Ridge"});

  error = refusal(settings + R"("textHeight": 300}, "billOrigin": [0, 0], "currentUse": [
    {"flashing": "L:Ridge", "mode": 0, "layers": ["R"]},
    {"flashing": "L:Ridge", "mode": 0, "layers": ["r"]}]})");
  EXPECT_EQ(error.field(), "currentUse[1]");
  EXPECT_EQ(error.layers(), std::vector<std::string>{"r"});

  error = refusal(settings + R"("textHeight": 300, "textHeight": 300}, )" + rows);
  EXPECT_EQ(error.field(), "project.textHeight");
}

}  // namespace
}  // namespace kvm::workshop
