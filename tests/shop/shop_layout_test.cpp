#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/text.h"
#include "platform/cairo/shop/shop_pdf.h"
#include "shop/page_writer.h"
#include "shop/profile_geometry.h"
#include "storage/builtin_database.h"
#include "tests/shop/sample_book.h"

namespace kvm::shop {
namespace {

// One measure a test: cairo's font caches are freed once no cairo object is left.
class shop_layout_test : public ::testing::Test {
 protected:
  [[nodiscard]] const TextMeasure& measure() const { return measure_; }

 private:
  cairo::CairoTextMeasure measure_;
};

std::string describe(const DrawnText& text) {
  return "\"" + text.text + "\" at (" + std::to_string(text.origin.x) + ", " +
         std::to_string(text.origin.y) + ")";
}

// What a reader sees: no text over another, over a line or the star, or off the page.
void expectLegible(const Page& page, const std::string& where) {
  for (std::size_t i = 0; i < page.texts.size(); ++i) {
    const DrawnText& a = page.texts[i];
    EXPECT_TRUE(quadInside(a.box, {0, 0}, {page.width, page.height}))
        << where << ": " << describe(a) << " leaves the page";
    for (std::size_t j = i + 1; j < page.texts.size(); ++j) {
      EXPECT_FALSE(quadsOverlap(a.box, page.texts[j].box))
          << where << ": " << describe(a) << " over " << describe(page.texts[j]);
    }
    for (const DrawnLine& line : page.lines) {
      EXPECT_FALSE(segmentTouchesQuad(line.from, line.to, a.box))
          << where << ": " << describe(a) << " over the line (" << line.from.x << ", "
          << line.from.y << ")-(" << line.to.x << ", " << line.to.y << ")";
    }
    for (const DrawnShape& shape : page.shapes) {
      EXPECT_FALSE(quadsOverlap(a.box, boundingQuad(shape.points)))
          << where << ": " << describe(a) << " over the star";
    }
  }
  for (const DrawnShape& shape : page.shapes) {
    for (const DrawnLine& line : page.profile) {
      EXPECT_FALSE(segmentTouchesQuad(line.from, line.to, boundingQuad(shape.points)))
          << where << ": the star on the profile";
    }
  }
}

bool holds(const Page& page, const std::string& text) {
  return std::any_of(page.texts.begin(), page.texts.end(),
                     [&](const DrawnText& t) { return t.text.find(text) != std::string::npos; });
}

FlashingSheet sheetOf(const Flashing& flashing, std::size_t block) {
  FlashingSheet sheet;
  sheet.block = block;
  sheet.name = toUtf8(flashing.Name);
  sheet.colour = toUtf8(flashing.Color);
  sheet.profile = flashing;
  sheet.developedWidth = flashing.DevelopedWidth;
  sheet.bends = bendCount(flashing);
  sheet.rows = {{3900, 12, "1–6"}, {2350, 4, "7, 9"}};
  sheet.piecesToCut = 16;
  sheet.runLength = 56.2;
  sheet.area = 28.1;
  sheet.weight = 110.29;
  return sheet;
}

TEST_F(shop_layout_test, every_builtin_profile_is_drawn_dimensioned_and_legible) {
  for (const Paper paper : {Paper::A4, Paper::A3, Paper::Letter}) {
    ShopBook book = testing::sampleBook(paper);
    std::size_t block = 0;
    for (const FlashingLibrary& library : builtinLibraryTable()) {
      for (const Flashing& flashing : library.Flashings) {
        const Page page = layoutFlashingPage(book, sheetOf(flashing, ++block), measure());
        const std::string where =
            toUtf8(flashing.Name) + " on paper " + std::to_string(static_cast<int>(paper));
        expectLegible(page, where);
        const ProfileGeometry profile = profileGeometry(flashing);
        EXPECT_EQ(page.profile.size(), profile.lengths.size()) << where;
        // Every built-in profile has its star, explained beside the drawing by a copy of it.
        EXPECT_EQ(page.shapes.size(), 2U) << where;
        for (const double length : profile.lengths) {
          EXPECT_TRUE(holds(page, upTo(length, 1))) << where << ": " << length;
        }
        for (const Bend& bend : profile.bends) {
          EXPECT_TRUE(holds(page, upTo(bend.degrees, 1) + "°")) << where;
        }
        EXPECT_FALSE(holds(page, "未在图中标注")) << where << ": a label went to the legend";
        // The profile fills its area: it spans most of the width or the height.
        const DrawingArea area = flashingDrawingArea(paper);
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (const DrawnLine& line : page.profile) {
          for (const Point p : {line.from, line.to}) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
          }
        }
        const double areaW = area.bottomRight.x - area.topLeft.x;
        const double areaH = area.bottomRight.y - area.topLeft.y;
        EXPECT_TRUE(right - left > 0.5 * areaW || bottom - top > 0.5 * areaH) << where;
      }
    }
  }
}

TEST_F(shop_layout_test, a_long_cutting_plan_stays_in_its_column_and_above_the_totals) {
  ShopBook book = testing::sampleBook();
  FlashingSheet sheet = sheetOf(testing::builtinFlashing(u"转角包角"), 7);
  sheet.rows.clear();
  std::string many;
  for (int line = 1; line < 400; line += 2)
    many += (many.empty() ? "" : ", ") + std::to_string(line);
  for (int r = 0; r < 60; ++r) sheet.rows.push_back({4000 - r * 10, 3, r == 0 ? many : "5"});
  sheet.cost = 1234.5;
  const Page page = layoutFlashingPage(book, sheet, measure());
  expectLegible(page, "long plan");
  EXPECT_TRUE(holds(page, "另有"));
  EXPECT_FALSE(holds(page, "1234.50"));  // prices are the cover's, not the shop floor's
}

TEST_F(shop_layout_test, a_flashing_without_profile_or_with_a_damaged_one_gets_its_page) {
  ShopBook book = testing::sampleBook();
  FlashingSheet sheet = sheetOf(Flashing{}, 1);
  sheet.name = "无截面包角";
  expectLegible(layoutFlashingPage(book, sheet, measure()), "no profile");
  // One straight segment, a hem, segments of no length, a star on the line.
  Flashing odd = testing::builtinFlashing(u"屋脊包角");
  odd.SegmentLengths = DynamicArray<int16_t>({3000, 0, 200, 30000});
  odd.SegmentAngles = DynamicArray<double>({0, 1, 3.14159265358979, 0});
  odd.TextMarks = DynamicArray<TextMark>({TextMark{u"*", 0, 0, 0, 0.8F}});
  sheet = sheetOf(odd, 2);
  const Page page = layoutFlashingPage(book, sheet, measure());
  expectLegible(page, "odd profile");
  EXPECT_TRUE(holds(page, "截面各段合计"));  // 3320 mm of profile for a 500 mm width
}

TEST_F(shop_layout_test, a_dense_profile_with_many_notes_stays_legible) {
  // Fifty segments turning 6° each, growing from 10 to 191 mm, and one note given nine times.
  Flashing spiral = testing::builtinFlashing(u"屋脊包角");
  std::vector<int16_t> lengths;
  std::vector<double> angles;
  std::vector<TextMark> marks{TextMark{u"*", -1190, 167, 0, 0.8F}};
  for (int s = 0; s < 50; ++s) {
    lengths.push_back(static_cast<int16_t>(100 + 37 * s));
    angles.push_back(0.1047197551196598 * s);
  }
  for (int t = 1; t < 10; ++t) marks.push_back(TextMark{u"施工时根据板型现场剪角", 0, 0, 0, 0.7F});
  spiral.SegmentLengths = DynamicArray<int16_t>(std::move(lengths));
  spiral.SegmentAngles = DynamicArray<double>(std::move(angles));
  spiral.TextMarks = DynamicArray<TextMark>(std::move(marks));
  for (const Paper paper : {Paper::A4, Paper::Letter}) {
    const ShopBook book = testing::sampleBook(paper);
    const Page page = layoutFlashingPage(book, sheetOf(spiral, 1), measure());
    expectLegible(page, "spiral");
    std::size_t notes = 0;
    for (const DrawnText& text : page.texts) notes += text.text.starts_with("备注") ? 1U : 0U;
    EXPECT_EQ(notes, 1U);
    // Each of the 50 lengths and 49 bends is in the drawing or in the legend beside it.
    const ProfileGeometry profile = profileGeometry(spiral);
    for (const double length : profile.lengths) {
      EXPECT_TRUE(holds(page, upTo(length, 1))) << length;
    }
    EXPECT_EQ(profile.bends.size(), 49U);
    EXPECT_TRUE(holds(page, "174°"));  // 6° turns
  }
}

TEST_F(shop_layout_test, a_small_book_has_one_cover_its_flashing_pages_and_coil_pages) {
  const ShopBook book = testing::sampleBook();
  const ShopPages pages = layoutShopBook(book, measure());
  EXPECT_EQ(pages.coverPages, 1U);
  std::size_t coil = 0;
  for (const CoilOrder& order : book.coil) {
    coil += layoutCoilPages(book, order, measure()).size();
  }
  EXPECT_EQ(pages.coilPages, coil);
  ASSERT_EQ(pages.pages.size(), 1 + book.flashings.size() + coil);
  const std::string count = " / " + std::to_string(pages.pages.size());
  for (std::size_t i = 0; i < pages.pages.size(); ++i) {
    expectLegible(pages.pages[i], "page " + std::to_string(i + 1));
    EXPECT_TRUE(holds(pages.pages[i], std::to_string(i + 1) + count));
  }
  EXPECT_TRUE(holds(pages.pages[0], "合计"));
  EXPECT_TRUE(holds(pages.pages[1], "屋脊包角"));
  EXPECT_TRUE(holds(pages.pages.back(), "白灰色"));
}

TEST_F(shop_layout_test, the_cover_of_a_large_bill_goes_on_over_legible_cover_pages) {
  ShopBook book = testing::sampleBook();
  const FlashingSheet first = book.flashings.front();
  book.flashings.clear();
  for (std::size_t i = 0; i < 676; ++i) {
    FlashingSheet copy = first;
    copy.block = i + 1;
    book.flashings.push_back(copy);
  }
  const std::vector<Page> cover = layoutCover(book, measure());
  ASSERT_GT(cover.size(), 1U);
  std::size_t rows = 0;
  for (std::size_t p = 0; p < cover.size(); ++p) {
    expectLegible(cover[p], "cover page " + std::to_string(p + 1));
    for (const DrawnText& text : cover[p].texts) {
      EXPECT_GE(text.size, 6.5);
      if (text.text == "屋脊包角") ++rows;
    }
  }
  EXPECT_EQ(rows, 676U);
}

TEST_F(shop_layout_test, narrow_strips_are_labelled_beside_their_sheet) {
  ShopBook book = testing::sampleBook();
  CoilOrder order;
  order.group = {"天蓝色", 0.5, 1250, 10, {{"窄条", 30, 3000, 10}, {"屋脊包角", 500, 3900, 2}}};
  order.plan = planCoil(order.group);
  const std::vector<Page> pages = layoutCoilPages(book, order, measure());
  for (const Page& page : pages) expectLegible(page, "narrow strips");
  EXPECT_TRUE(holds(pages.front(), "窄条 30×3000"));
  EXPECT_TRUE(holds(pages.front(), "屋脊包角 500×3900"));
}

TEST_F(shop_layout_test, each_pattern_is_drawn_with_its_rows_and_their_pieces_named) {
  ShopBook book = testing::sampleBook();
  CoilOrder order;
  order.group = {"天蓝色", 0.5, 1250, 0, {{"甲", 400, 3000, 3}, {"乙", 400, 1500, 4}}};
  order.plan = planCoil(order.group);
  const std::vector<Page> pages = layoutCoilPages(book, order, measure());
  ASSERT_EQ(pages.size(), 1U);
  expectLegible(pages.front(), "rows");
  for (std::size_t i = 0; i < order.plan.patterns.size(); ++i) {
    const SheetPattern& pattern = order.plan.patterns[i];
    EXPECT_TRUE(holds(pages.front(), "样式 " + std::to_string(i + 1) + "    × " +
                                         std::to_string(pattern.sheets) + " 张    板长 " +
                                         upTo(pattern.length, 1) + " mm"));
  }
  // Every piece drawn end to end along its row, labelled.
  std::size_t long_ = 0, short_ = 0;
  for (const DrawnText& text : pages.front().texts) {
    if (text.text == "甲 400×3000") ++long_;
    if (text.text == "乙 400×1500") ++short_;
  }
  EXPECT_EQ(long_, 3U);
  EXPECT_EQ(short_, 4U);
  EXPECT_FALSE(holds(pages.front(), "LP"));
}

TEST_F(shop_layout_test, patterns_of_narrow_rows_go_on_over_legible_pages) {
  ShopBook book = testing::sampleBook();
  CoilOrder order;
  order.group = {"天蓝色", 0.5, 1250, 10, {}};
  // Sixty sheets, each with a wide row of its own flashing over one narrow row of each of eight
  // widths: the narrow ones are labelled beside the sheet, and the patterns go on over pages.
  constexpr std::size_t kSheets = 60;
  for (std::size_t i = 0; i < kSheets; ++i) {
    order.group.pieces.push_back({"宽条" + std::to_string(i), 1000, 3000, 1});
  }
  for (int k = 7; k >= 0; --k) {
    order.group.pieces.push_back({"窄条" + std::to_string(k), 26.0 + k, 3000, kSheets});
  }
  for (std::size_t i = 0; i < kSheets; ++i) {
    SheetPattern pattern{1, 3000, {{1000, {{i, 1}}}}};
    for (std::size_t k = 0; k < 8; ++k) {
      pattern.rows.push_back({order.group.pieces[kSheets + k].width, {{kSheets + k, 1}}});
    }
    order.plan.patterns.push_back(std::move(pattern));
  }
  order.plan.sheets = kSheets;
  for (const Paper paper : {Paper::A4, Paper::A3, Paper::Letter}) {
    book.paper = paper;
    const std::vector<Page> pages = layoutCoilPages(book, order, measure());
    EXPECT_GT(pages.size(), 1U);
    std::size_t headings = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
      expectLegible(pages[p], "coil page " + std::to_string(p + 1));
      for (const DrawnText& text : pages[p].texts) {
        if (text.text.starts_with("样式 ") && text.text.find(" 张") != std::string::npos) {
          ++headings;
        }
      }
    }
    EXPECT_EQ(headings, kSheets);
  }
}

}  // namespace
}  // namespace kvm::shop
