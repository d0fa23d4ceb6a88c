#include "storage/database_json.h"

#include <gtest/gtest.h>

#include "storage/database_codec.h"

namespace kvm {
namespace {

using json = nlohmann::ordered_json;

// One library holding one flashing with every field set, one mark of each kind.
LibraryTable everyField() {
  Flashing flashing;
  flashing.Name = u"屋脊";
  flashing.MaxCutLength = 4000;
  flashing.Overlap = 100;
  flashing.Color = u"红色";
  flashing.EndExtension = 50;
  flashing.LengthFactor = 1.25F;
  flashing.DevelopedWidth = 600;
  flashing.ScaleCode = 2;
  flashing.StartX = -3;
  flashing.StartY = 4;
  flashing.SegmentLengths = {120, 340};
  flashing.SegmentAngles = {0.5, -1.5};
  flashing.TextMarks = {TextMark{u"*", 5, 6, 0.25F, 0.8F}};
  flashing.DimensionMarks = {
      DimensionMark{1, u"L", 7, 8, 9, 10, 0x22, u"141°", 1, 2, 3, 11, 12, 13, 14, 1, 2.5F}};
  FlashingLibrary library;
  library.Name = u"芯板";
  library.Flashings = {flashing};
  library.LastFlashing = 1;
  return LibraryTable{library};
}

// Scripts read the export by these names in this order: the file's order.
TEST(database_json_test, the_export_names_every_field_in_file_order) {
  const json exported = exportDatabaseJson(writeLibraryTable(everyField()));
  EXPECT_EQ(exported.dump(),
            R"({"format":"kavelmor-database","libraries":[{"Name":"芯板","Flashings":[{)"
            R"("Name":"屋脊","MaxCutLength":4000,"Overlap":100,"Color":"红色",)"
            R"("EndExtension":50,"LengthFactor":1.25,"DevelopedWidth":600,"ScaleCode":2,)"
            R"("StartX":-3,"StartY":4,"SegmentLengths":[120,340],"SegmentAngles":[0.5,-1.5],)"
            R"("TextMarks":[{"Text":"*","X":5,"Y":6,"Angle":0.25,"AuxValue":0.8}],)"
            R"("DimensionMarks":[{"Kind":1,"Label":"L","P1X":7,"P1Y":8,"P2X":9,"P2Y":10,)"
            R"("Style":34,"Text":"141°","VertexA":1,"VertexB":2,"VertexC":3,"ArcX":11,)"
            R"("ArcY":12,"TextX":13,"TextY":14,"TextAtPoint":1,"TextAngle":2.5}]}],)"
            R"("LastFlashing":1}]})");
  EXPECT_EQ(importDatabaseJson(exported), writeLibraryTable(everyField()));
}

std::string importError(const json& document) {
  try {
    importDatabaseJson(document);
  } catch (const DatabaseJsonError& error) {
    return error.what();
  }
  return "no error";
}

TEST(database_json_test, an_import_failure_names_the_field_by_its_path) {
  const json exported = exportDatabaseJson(writeLibraryTable(everyField()));
  json document = exported;
  document["libraries"][0]["Flashings"][0]["DimensionMarks"][0].erase("TextAngle");
  EXPECT_EQ(importError(document),
            R"(libraries[0].Flashings[0].DimensionMarks[0]: missing "TextAngle")");

  document = exported;
  document["libraries"][0]["Flashings"][0]["SegmentLengths"][1] = 40000;
  EXPECT_EQ(importError(document),
            "libraries[0].Flashings[0].SegmentLengths[1]: expected a whole number from -32768 "
            "to 32767");

  document = exported;
  document["libraries"][0]["Flashings"][0]["TextMarks"][0]["Angle"] = "0.25";
  EXPECT_EQ(
      importError(document),
      R"(libraries[0].Flashings[0].TextMarks[0].Angle: expected a number or {"single": HEX})");

  document = exported;
  document["libraries"][0]["LastFlashing"] = 256;
  EXPECT_EQ(importError(document),
            "libraries[0].LastFlashing: expected a whole number from 0 to 255");
}

}  // namespace
}  // namespace kvm
