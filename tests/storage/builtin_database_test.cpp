// The built-in database against its table of values, kept as text in data/.
#include "storage/builtin_database.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <numbers>
#include <regex>
#include <set>
#include <sstream>

#include "base/text.h"
#include "storage/database_codec.h"
#include "tools/builtin_db/builtin_generator.h"

namespace kvm {
namespace {

std::vector<std::string> cells(const std::string& line) {
  std::vector<std::string> out;
  std::string cell;
  std::istringstream in(line);
  std::getline(in, cell, '|');  // before the first bar
  while (std::getline(in, cell, '|')) {
    const auto first = cell.find_first_not_of(' ');
    const auto last = cell.find_last_not_of(' ');
    out.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
  }
  if (!out.empty() && out.back().empty()) {
    out.pop_back();
  }
  return out;
}

std::vector<double> numbers(const std::string& text) {
  std::vector<double> out;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    out.push_back(std::stod(item));
  }
  return out;
}

std::vector<std::vector<std::string>> rows(const char* file) {
  std::ifstream in(std::string(KVM_STORAGE_TEST_DATA) + "/" + file);
  std::vector<std::vector<std::string>> out;
  for (std::string line; std::getline(in, line);) {
    out.push_back(cells(line));
  }
  return out;
}

double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}
float singleRadians(double degrees) {
  return static_cast<float>(radians(degrees));
}
std::u16string text(const std::string& utf8) {
  return fromUtf8(utf8);
}

struct Vertex {
  double x;
  double y;
};

std::vector<Vertex> vertices(const Flashing& f) {
  std::vector<Vertex> points{{double(f.StartX), double(f.StartY)}};
  for (std::size_t i = 0; i < f.SegmentLengths.size(); ++i) {
    const Vertex last = points.back();
    points.push_back({last.x + f.SegmentLengths[i] * std::cos(f.SegmentAngles[i]),
                      last.y + f.SegmentLengths[i] * std::sin(f.SegmentAngles[i])});
  }
  return points;
}

const FlashingLibrary* findLibrary(const LibraryTable& table, const std::u16string& name) {
  for (const FlashingLibrary& library : table) {
    if (library.Name == name || library.Name == name + u"\r\n") {
      return &library;
    }
  }
  return nullptr;
}

TEST(builtin_database_test, is_10338_bytes_beginning_with_the_worked_example) {
  const std::string_view bytes = builtinDatabaseBytes();
  EXPECT_EQ(bytes.size(), 10338U);
  const unsigned char head[] = {
      0x0A, 0x00, 0xB2, 0xCA, 0xB8, 0xD6, 0xB0, 0xE5, 0xCE, 0xDD, 0xC3, 0xE6,  // 彩钢板屋面
      0x01, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              // 7 flashings
      0x08, 0x00, 0xCE, 0xDD, 0xBC, 0xB9, 0xB0, 0xFC, 0xBD, 0xC7,              // 屋脊包角
      0xA0, 0x0F, 0x64, 0x00,                                                  // 4000, 100
      0x06, 0x00, 0xCC, 0xEC, 0xC0, 0xB6, 0xC9, 0xAB,                          // 天蓝色
      0x64, 0x00, 0x00, 0x00, 0x80, 0x3F, 0xF4, 0x01, 0x01,                    // 100, 1.0, 500, 1
      0xA0, 0xF6, 0xC3, 0xFE,                                                  // -2400, -317
      0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              // 4 lengths
      0x98, 0x08, 0x2C, 0x01, 0x2C, 0x01, 0x98, 0x08,                          // 2200 300 300 2200
      0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};             // 4 directions
  ASSERT_GE(bytes.size(), sizeof head);
  for (std::size_t i = 0; i < sizeof head; ++i) {
    EXPECT_EQ(static_cast<unsigned char>(bytes[i]), head[i]) << "byte " << i;
  }
  std::size_t at = sizeof head;
  for (const double degrees : {6.0, 45.0, 315.0, 354.0}) {
    uint64_t bits = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      bits |= uint64_t{static_cast<unsigned char>(bytes[at + k])} << (8 * k);
    }
    EXPECT_NEAR(std::bit_cast<double>(bits), radians(degrees), 1e-12);
    at += 8;
  }
}

TEST(builtin_database_test, holds_every_value_of_the_table) {
  const LibraryTable table = builtinLibraryTable();
  ASSERT_EQ(table.size(), 6U);
  EXPECT_EQ(table[2].Name, u"芯板屋面\r\n");

  std::size_t flashings = 0;
  for (const FlashingLibrary& library : table) {
    EXPECT_EQ(library.LastFlashing, 0);
    flashings += library.Flashings.size();
  }
  EXPECT_EQ(flashings, 32U);

  std::vector<std::size_t> next(table.size(), 0);
  std::u16string previousLibrary;
  for (const auto& row : rows("builtin_flashings.txt")) {
    ASSERT_EQ(row.size(), 9U);
    const FlashingLibrary* library = findLibrary(table, text(row[0]));
    ASSERT_NE(library, nullptr) << row[0];
    const auto libraryIndex = static_cast<std::size_t>(library - table.begin());
    // Libraries hold their flashings in table order.
    const Flashing& f = library->Flashings.at(next[libraryIndex]++);
    SCOPED_TRACE(row[1]);
    EXPECT_EQ(f.Name, text(row[1]));
    EXPECT_EQ(f.MaxCutLength, 4000);
    EXPECT_EQ(f.Overlap, 100);
    EXPECT_EQ(f.Color, u"天蓝色");
    EXPECT_EQ(f.EndExtension, 100);
    EXPECT_EQ(f.LengthFactor, 1.0F);
    EXPECT_EQ(f.DevelopedWidth, std::stoi(row[2]));
    EXPECT_EQ(f.ScaleCode, std::stoi(row[3]));
    const std::vector<double> start = numbers(row[4]);
    EXPECT_EQ(f.StartX, start.at(0));
    EXPECT_EQ(f.StartY, start.at(1));

    const std::vector<double> lengths = numbers(row[5]);
    const std::vector<double> angles = numbers(row[6]);
    ASSERT_EQ(f.SegmentLengths.size(), lengths.size());
    ASSERT_EQ(f.SegmentAngles.size(), angles.size());
    for (std::size_t i = 0; i < lengths.size(); ++i) {
      EXPECT_EQ(f.SegmentLengths[i], lengths[i]);
      EXPECT_NEAR(f.SegmentAngles[i], radians(angles[i]), 1e-12);
    }

    const std::regex markPattern(R"re("([^"]*)" at (-?\d+), (-?\d+), ([\d.]+)°, ([\d.]+))re");
    std::vector<TextMark> expectedMarks;
    for (std::sregex_iterator m(row[7].begin(), row[7].end(), markPattern), end; m != end; ++m) {
      expectedMarks.push_back(TextMark{text((*m)[1]), static_cast<int16_t>(std::stoi((*m)[2])),
                                       static_cast<int16_t>(std::stoi((*m)[3])),
                                       singleRadians(std::stod((*m)[4])), std::stof((*m)[5])});
    }
    ASSERT_FALSE(expectedMarks.empty());
    ASSERT_EQ(f.TextMarks.size(), expectedMarks.size());
    for (std::size_t i = 0; i < expectedMarks.size(); ++i) {
      EXPECT_EQ(f.TextMarks[i].Text, expectedMarks[i].Text);
      EXPECT_EQ(f.TextMarks[i].X, expectedMarks[i].X);
      EXPECT_EQ(f.TextMarks[i].Y, expectedMarks[i].Y);
      EXPECT_FLOAT_EQ(f.TextMarks[i].Angle, expectedMarks[i].Angle);
      EXPECT_EQ(f.TextMarks[i].AuxValue, expectedMarks[i].AuxValue);
    }
    EXPECT_EQ(f.DimensionMarks.size(), std::stoul(row[8]));
  }
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(next[i], table[i].Flashings.size()) << "library " << i;
  }
}

TEST(builtin_database_test, first_flashing_has_its_listed_marks) {
  const LibraryTable table = builtinLibraryTable();
  const Flashing& ridge = table[0].Flashings[0];
  const auto listed = rows("builtin_first_marks.txt");
  ASSERT_EQ(ridge.DimensionMarks.size(), listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const auto& row = listed[i];
    const DimensionMark& mark = ridge.DimensionMarks[i];
    SCOPED_TRACE(i);
    const auto p1 = numbers(row[2]);
    const auto p2 = numbers(row[3]);
    const auto vertex = numbers(row[6]);
    const auto arc = numbers(row[7]);
    const auto textPoint = numbers(row[8]);
    EXPECT_EQ(mark.Kind, std::stoi(row[0]));
    EXPECT_EQ(row[1], "empty");
    EXPECT_EQ(mark.Label, u"");
    EXPECT_EQ(mark.P1X, p1[0]);
    EXPECT_EQ(mark.P1Y, p1[1]);
    EXPECT_EQ(mark.P2X, p2[0]);
    EXPECT_EQ(mark.P2Y, p2[1]);
    EXPECT_EQ(mark.Style, std::stoi(row[4].substr(2), nullptr, 16));
    EXPECT_EQ(mark.Text, text(row[5].substr(1, row[5].size() - 2)));
    EXPECT_EQ(mark.VertexA, vertex[0]);
    EXPECT_EQ(mark.VertexB, vertex[1]);
    EXPECT_EQ(mark.VertexC, vertex[2]);
    EXPECT_EQ(mark.ArcX, arc[0]);
    EXPECT_EQ(mark.ArcY, arc[1]);
    EXPECT_EQ(mark.TextX, textPoint[0]);
    EXPECT_EQ(mark.TextY, textPoint[1]);
    EXPECT_EQ(mark.TextAtPoint, std::stoi(row[9]));
    EXPECT_FLOAT_EQ(mark.TextAngle, singleRadians(std::stod(row[10])));
  }
}

// Linear texts are the spanned segment's length / (10 x scale), angular texts the angle at
// VertexA in whole degrees; the host's extra values are those of the built-in data.
TEST(builtin_database_test, every_dimension_mark_follows_the_two_rules) {
  std::set<int> styles;
  const LibraryTable table = builtinLibraryTable();
  for (const FlashingLibrary& library : table) {
    for (const Flashing& f : library.Flashings) {
      SCOPED_TRACE(toUtf8(f.Name));
      const std::vector<Vertex> points = vertices(f);
      const double divisor = f.Name == u"山墙内墙板下包角" ? 10.0 : 10.0 * f.ScaleCode;
      for (const DimensionMark& mark : f.DimensionMarks) {
        styles.insert(mark.Style);
        EXPECT_EQ(mark.Label, u"");
        if (mark.Kind == kLinearDimension) {
          ASSERT_EQ(std::abs(mark.VertexA - mark.VertexB), 1);
          EXPECT_EQ(mark.VertexC, 0);
          EXPECT_EQ(mark.ArcX, 0);
          EXPECT_EQ(mark.ArcY, 0);
          const std::size_t segment = std::min(mark.VertexA, mark.VertexB);
          ASSERT_LT(segment, f.SegmentLengths.size());
          EXPECT_EQ(mark.Text, decimal(std::lround(f.SegmentLengths[segment] / divisor)));
        } else {
          ASSERT_EQ(mark.Kind, kAngularDimension);
          EXPECT_EQ(mark.P1X, mark.VertexA);
          EXPECT_EQ(mark.P1Y, 0);
          ASSERT_LT(std::max({mark.VertexA, mark.VertexB, mark.VertexC}), points.size());
          const Vertex at = points[mark.VertexA];
          const Vertex b = points[mark.VertexB];
          const Vertex c = points[mark.VertexC];
          const double angle = std::abs(std::remainder(
              std::atan2(c.y - at.y, c.x - at.x) - std::atan2(b.y - at.y, b.x - at.x),
              2 * std::numbers::pi));
          EXPECT_EQ(mark.Text, decimal(std::lround(angle * 180 / std::numbers::pi)) + u"°");
        }
      }
    }
  }
  EXPECT_EQ(styles, (std::set<int>{0x20, 0x21, 0x22, 0xA0, 0xA1, 0xA2}));
}

TEST(builtin_database_test, writing_the_parsed_table_gives_the_same_bytes) {
  EXPECT_EQ(writeLibraryTable(builtinLibraryTable()), builtinDatabaseBytes());
}

TEST(builtin_database_test, the_generator_rebuilds_the_same_bytes) {
  EXPECT_EQ(builtin::generateDatabase(), builtinDatabaseBytes());
  EXPECT_EQ(builtin::generateDatabase(), builtin::generateDatabase());
}

}  // namespace
}  // namespace kvm
