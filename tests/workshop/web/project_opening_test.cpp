#include "platform/workshop/web/project_opening.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "platform/workshop/project/current_use_rows.h"
#include "platform/workshop/project/project_file.h"
#include "storage/builtin_database.h"

namespace kvm::workshop::web {
namespace {

const DatabaseChoice kBuiltin{true, {}};

std::string projectWith(const std::string& rows) {
  return R"({"project": {"name": "车间", "plateThickness": "0.5", "lengthClassStep": 300,
  "textHeight": "300"}, "billOrigin": [100, 200], "coil": {"width": 1000, "maxSheet": 6000},
  "currentUse": [)" +
         rows + "]}";
}

TEST(project_opening_test, rows_come_back_as_the_listings_ids_with_their_layers) {
  // A stored library name ending in a line break is still typed without it.
  std::string library;
  std::string flashing;
  for (const FlashingLibrary& stored : builtinLibraryTable()) {
    const std::string name = toUtf8(stored.Name);
    if (name == listedName(stored.Name) || !stored.Flashings.isAllocated()) {
      continue;
    }
    for (const Flashing& first : stored.Flashings) {
      if (!listedName(first.Name).empty()) {
        library = listedName(stored.Name);
        flashing = listedName(first.Name);
        break;
      }
    }
    if (!library.empty()) {
      break;
    }
  }
  ASSERT_FALSE(library.empty());
  const nlohmann::ordered_json opened =
      openProject(projectWith(R"({"flashing": "彩钢板屋面:屋脊包角", "mode": 0},
        {"flashing": ")" + library +
                              ":" + flashing + R"(", "mode": 2, "layers": ["A", "B"]})"),
                  "mine.json", kBuiltin);
  const nlohmann::ordered_json& project = opened["project"];
  EXPECT_EQ(project["billOrigin"], nlohmann::ordered_json::parse("[100, 200]"));
  EXPECT_EQ(project["coil"]["maxSheet"], 6000);  // kept as given, though the page shows none
  EXPECT_EQ(project["project"]["lengthClassStep"], 300);
  ASSERT_EQ(project["currentUse"].size(), 2U);
  EXPECT_EQ(project["currentUse"][0]["flashing"], "彩钢板屋面:屋脊包角");
  EXPECT_EQ(project["currentUse"][0]["layers"], nlohmann::ordered_json::parse(R"(["屋脊包角"])"));
  EXPECT_EQ(project["currentUse"][1]["flashing"], library + ":" + flashing);
  EXPECT_EQ(project["currentUse"][1]["mode"], 2);
  EXPECT_EQ(project["currentUse"][1]["layers"], nlohmann::ordered_json::parse(R"(["A", "B"])"));
  EXPECT_TRUE(opened["notes"].empty());
}

TEST(project_opening_test, rows_with_lines_of_their_own_are_left_out_with_a_note) {
  const nlohmann::ordered_json opened =
      openProject(projectWith(R"({"flashing": "彩钢板屋面:屋脊包角", "mode": 0, "lines": [
        {"start": [0, 0], "end": [5000, 0]}]}, {"flashing": "彩钢墙面:转角包角", "mode": 1})"),
                  "mine.json", kBuiltin);
  ASSERT_EQ(opened["project"]["currentUse"].size(), 1U);
  EXPECT_EQ(opened["project"]["currentUse"][0]["flashing"], "彩钢墙面:转角包角");
  ASSERT_EQ(opened["notes"].size(), 1U);
  EXPECT_EQ(opened["notes"][0].get<std::string>().rfind("mine.json:3:18: currentUse[0] (", 0), 0U)
      << opened["notes"][0];
}

TEST(project_opening_test, refusals_name_the_field_and_layers) {
  try {
    openProject(projectWith(R"({"flashing": "彩钢墙面:转角包角", "mode": 0, "layers": ["W"]},
        {"flashing": "彩钢墙面:没有", "mode": 0, "layers": ["X"]})"),
                "mine.json", kBuiltin);
    FAIL() << "opened";
  } catch (const UnknownFlashingError& error) {
    EXPECT_EQ(error.field(), "currentUse[1].flashing");
    EXPECT_EQ(error.layers(), std::vector<std::string>{"X"});
    EXPECT_EQ(std::string(error.what()).rfind("mine.json:4:22: currentUse[1].flashing", 0), 0U)
        << error.what();
  }
  EXPECT_THROW(openProject("{\"project\": ", "mine.json", kBuiltin), ProjectError);
  EXPECT_THROW(openProject("", "mine.json", kBuiltin), ProjectError);
}

}  // namespace
}  // namespace kvm::workshop::web
