// The preview of 屋脊包角 in the 342 × 180 area, every value worked out by hand:
//   s = 342 / 6600 = 0.0518181…, cx = 171, cy = 90.
//   Start P = (round(-2400 s + 171), round(-317 s + 90)) = (round(46.64), round(73.57)) = (47, 74);
//   move to (47, 180 - 74) = (47, 106).
//   Segments d = round(2200 s) = 114 and round(300 s) = round(15.55) = 16:
//     6°:   (47 + 114 cos 6°, 74 + 114 sin 6°) = (160.38, 85.92) -> (160, 86), line to (160, 94)
//     45°:  (160 + 11.31, 86 + 11.31) -> (171, 97), line to (171, 83)
//     315°: (171 + 11.31, 97 - 11.31) -> (182, 86), line to (182, 94)
//     354°: (182 + 113.38, 86 - 11.92) -> (295, 74), line to (295, 106)
//   Star at (-1190, 167): mx = round(-61.66) = -62, my = round(8.65) = 9;
//     lbXing (24 × 24) left = -62 - 12 + 171 = 97, top = (90 - 9) - 12 = 69.
//   Dimensions, offset round(12 / s) = round(231.58) = 232 to the right of the text direction:
//     "30"  at (96, -135), 315°: A = (96 + 232 cos 225°, -135 + 232 sin 225°) = (-68, -299);
//           x = round(-68 s + 171) = round(167.48) = 167, y = round(180 + 299 s - 90) = 105
//     "220" at (-1286, -396), 6°: A = (-1286 + 24.25, -396 - 230.73) = (-1262, -627);
//           x = round(-65.39 + 171) = round(105.61) = 106, y = round(90 + 32.49) = 122
//     "30"  at its point (-291, 203): x = round(155.92) = 156, y = round(90 - 10.52) = 79
//     "220" at (1286, -395), 354°: A = (1286 - 24.25, -395 - 230.73) = (1262, -626);
//           x = round(236.39) = 236, y = round(122.44) = 122
//     "141°" at its point (386, 276): x = round(191.00) = 191, y = round(75.70) = 76
//   Escapements: 315° -> 3150, 6° -> 60, 45° -> 450, 354° -> 3540, 334.5° -> 3345.
//   GBK: "30" 33 30, "220" 32 32 30, "141°" 31 34 31 A1 E3. Scale code 1: green.

#include <gtest/gtest.h>

#include "canvas/canvas_json.h"
#include "preview/profile_preview.h"
#include "storage/builtin_database.h"
#include "tests/preview/recording_ui.h"
#include "tests/preview/ridge_flashing.h"

namespace kvm::preview {
namespace {

using nlohmann::json;
using testing::RecordingUi;

json dimensionFont(int escapement) {
  return {"font",
          {{"height", 20},
           {"width", 7},
           {"escapement", escapement},
           {"orientation", 0},
           {"weight", 400},
           {"italic", 0},
           {"underline", 0},
           {"strikeOut", 0},
           {"charSet", 0},
           {"outPrecision", 0},
           {"clipPrecision", 0},
           {"quality", 0},
           {"pitchAndFamily", 0},
           {"faceName", ""}}};
}

json expectedRidgeOps() {
  json ops = json::parse(R"([
    ["clear"],
    ["pen", 2, "#FFFFFF"],
    ["moveto", 47, 106], ["lineto", 160, 94], ["lineto", 171, 83], ["lineto", 182, 94],
    ["lineto", 295, 106],
    ["textcolor", "#FFFFFF"], ["pen", 1, "#FFFFFF"],
    ["print", 97, 69, "*", {"face": "宋体", "size": 18, "bold": true}],
    ["textcolor", "#00FF00"],
    ["align", 30]
  ])");
  const struct {
    int escapement;
    int x;
    int y;
    const char* hex;
  } dimensions[] = {{3150, 167, 105, "3330"},
                    {60, 106, 122, "323230"},
                    {450, 156, 79, "3330"},
                    {3540, 236, 122, "323230"},
                    {3345, 191, 76, "313431A1E3"}};
  for (const auto& d : dimensions) {
    ops.push_back(dimensionFont(d.escapement));
    ops.push_back({"select", "font"});
    ops.push_back({"textout", d.x, d.y, d.hex});
  }
  ops.push_back({"refresh"});
  ops.push_back({"select", "previous"});
  for (int i = 0; i < 5; ++i) {
    ops.push_back({"delete", "font"});
  }
  return ops;
}

TEST(ridge_preview_test, ops_match_the_hand_computed_drawing) {
  RecordingPreviewArea area;
  RecordingUi ui;
  drawPreview(testing::ridgeFlashing(), area, ui);

  EXPECT_EQ(canvas::opsJson(area.recording().ops()), expectedRidgeOps());
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(area.markTemplate().left, 97.0);
  EXPECT_EQ(area.markTemplate().top, 69.0);
  EXPECT_EQ(area.scaleLabelColor(), (canvas::Rgb{0, 255, 0}));
}

TEST(ridge_preview_test, builtin_database_flashing_draws_the_same) {
  const LibraryTable table = builtinLibraryTable();
  const Flashing& ridge = table.at(0).Flashings.at(0);
  ASSERT_EQ(ridge.Name, u"屋脊包角");

  RecordingPreviewArea area;
  RecordingUi ui;
  drawPreview(ridge, area, ui);

  EXPECT_EQ(canvas::opsJson(area.recording().ops()), expectedRidgeOps());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST(ridge_preview_test, picture_dump_carries_the_area_size) {
  RecordingPreviewArea area;
  RecordingUi ui;
  drawPreview(testing::ridgeFlashing(), area, ui);

  const json picture =
      canvas::pictureJson(area.innerWidth(), area.innerHeight(), area.recording().ops());
  EXPECT_EQ(picture.at("width"), 342);
  EXPECT_EQ(picture.at("height"), 180);
  EXPECT_EQ(picture.at("ops"), expectedRidgeOps());
  EXPECT_EQ(picture.dump().find("97.0"), std::string::npos) << "whole numbers print as integers";
}

}  // namespace
}  // namespace kvm::preview
