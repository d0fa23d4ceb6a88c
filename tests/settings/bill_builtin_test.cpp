// The bill of the whole built-in database, checked byte for byte against a record written here
// from the built-in database's table of values, not by the bill's own code.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <string>

#include "base/text.h"
#include "model/current_use.h"
#include "tests/settings/settings_dialog_fixture.h"
#include "tools/builtin_db/builtin_generator.h"
#include "tools/builtin_db/builtin_table.h"

namespace kvm {
namespace {

using builtin::DimensionMarkRow;
using builtin::FlashingRow;

// The separators of the record, by their codes.
const std::u16string kField(1, u'\x01');
const std::u16string kEntry(1, u'\x02');
const std::u16string kSection(1, u'\x03');
const std::u16string kItem(1, u'\x04');
const std::u16string kRecord(1, u'\x05');

std::u16string printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  const std::string digits(text);
  // The built-in values never need the exponent form.
  EXPECT_EQ(digits.find('e'), std::string::npos) << digits;
  return fromUtf8(digits);
}
std::u16string number(long long value) {
  return fromUtf8(std::to_string(value));
}
std::u16string doubleText(double value) {
  return printed("%.15g", value);
}
std::u16string singleText(float value) {
  return printed("%.7g", static_cast<double>(value));
}
std::u16string point(long long x, long long y) {
  return u"(" + number(x) + u" " + number(y) + u")";
}
// Stored in radians as the table's degrees times pi over 180.
double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// The dimension mark fields the record carries.
struct MarkFields {
  long long kind, p1x, p1y, p2x, p2y, style, vertexA, vertexB, vertexC, arcX, arcY;
  std::u16string label;
};

std::u16string markText(const MarkFields& m) {
  return number(m.kind) + kItem + m.label + kItem + point(m.p1x, m.p1y) + kItem +
         point(m.p2x, m.p2y) + kItem + number(m.style) + kItem + number(m.vertexA) + kItem +
         number(m.vertexB) + kItem + number(m.vertexC) + kItem + point(m.arcX, m.arcY);
}

// The marks of a flashing: the first one's are listed in the table value by value; the
// others' are placed by the generator from the table's mark plan, whose kinds and vertices
// are checked here against the plan.
std::vector<MarkFields> marksOf(const FlashingRow& row, const Flashing& generated) {
  std::vector<MarkFields> marks;
  if (row.markPlan.empty()) {
    for (const DimensionMarkRow& m : builtin::listedMarks()) {
      marks.push_back({m.kind, m.p1x, m.p1y, m.p2x, m.p2y, m.style, m.vertexA, m.vertexB, m.vertexC,
                       m.arcX, m.arcY, u""});
    }
    return marks;
  }
  std::istringstream plan{std::string(row.markPlan)};
  std::string step;
  std::size_t index = 0;
  while (plan >> step) {
    const DimensionMark& m = generated.DimensionMarks.at(index++);
    const long long at = std::stoll(step.substr(1));
    if (step[0] == 'L') {
      EXPECT_EQ(m.Kind, kLinearDimension);
      EXPECT_EQ(m.VertexA, at);
      EXPECT_EQ(m.VertexB, at + 1);
    } else {
      EXPECT_EQ(m.Kind, kAngularDimension);
      EXPECT_EQ(m.P1X, at);
      EXPECT_EQ(m.VertexA, at);
    }
    marks.push_back({m.Kind, m.P1X, m.P1Y, m.P2X, m.P2Y, m.Style, m.VertexA, m.VertexB, m.VertexC,
                     m.ArcX, m.ArcY, m.Label});
  }
  EXPECT_EQ(marks.size(), row.dimensionCount);
  return marks;
}

std::u16string entryText(const FlashingRow& row, const Flashing& generated) {
  std::u16string entry = kEntry + std::u16string(row.name) + kField;
  entry += number(builtin::kMaxCutLength) + kField + number(builtin::kOverlap) + kField;
  entry += std::u16string(builtin::kColor) + kField + number(builtin::kEndExtension) + kField;
  entry += printed("%.2f", static_cast<double>(builtin::kLengthFactor)) + kField;
  entry += number(row.developedWidth) + kField + number(row.scaleCode) + kField;
  entry += number(row.startX) + kItem + number(row.startY);
  for (std::size_t i = 0; i < row.lengths.size(); ++i) {
    entry += (i == 0 ? kSection : kItem) + number(row.lengths[i]);
  }
  for (std::size_t i = 0; i < row.anglesDegrees.size(); ++i) {
    entry += (i == 0 ? kSection : kItem) + doubleText(radians(row.anglesDegrees[i]));
  }
  entry += kSection;
  const std::vector<MarkFields> marks = marksOf(row, generated);
  for (std::size_t i = 0; i < marks.size(); ++i) {
    entry += (i == 0 ? u"" : kRecord) + markText(marks[i]);
  }
  entry += kSection;
  for (std::size_t i = 0; i < row.textMarks.size(); ++i) {
    const auto& t = row.textMarks[i];
    entry += (i == 0 ? u"" : kRecord) + std::u16string(t.text) + kItem + point(t.x, t.y) + kItem +
             singleText(static_cast<float>(radians(t.angleDegrees))) + kItem +
             singleText(t.auxValue);
  }
  return entry;
}

class BuiltinBillTest : public testing::SettingsDialogTest {};

TEST_F(BuiltinBillTest, the_record_of_every_built_in_flashing_matches_the_table) {
  form().load();
  const auto libraries = builtin::libraryNames();
  const auto rows = builtin::flashingRows();
  ASSERT_EQ(rows.size(), 32U);
  const LibraryTable generated = builtin::generateTable();

  std::u16string expected = u"list示范工程车间一" + kField + u"0.5" + kField + u"300" + kField +
                            u"300" + kField + u"2000.1.1";
  std::vector<std::size_t> place(libraries.size(), 0);
  for (const FlashingRow& row : rows) {
    form().lstDang.addItem(currentUseEntry(libraries.at(row.library), row.name));
    expected += entryText(row, generated[row.library].Flashings[place[row.library]++]);
  }

  form().cmdQingDan.userClick();
  EXPECT_TRUE(ui_->boxes.empty()) << toUtf8(lastBox());
  EXPECT_EQ(toUtf8(process_->resultString), toUtf8(expected));
  EXPECT_EQ(process_->resultString.size(), expected.size());
}

}  // namespace
}  // namespace kvm
