#include "tools/builtin_db/builtin_generator.h"

#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "base/text.h"
#include "storage/database_codec.h"
#include "tools/builtin_db/builtin_table.h"

namespace kvm::builtin {
namespace {

struct Point {
  double x;
  double y;
};

// Distances in profile units at which generated marks place their points.
constexpr double kLinearTextAbove = 80;   // baseline just outside the segment
constexpr double kLinearTextBelow = 150;  // the preview hangs such text a further 12 pixels out
constexpr double kArcRadius = 250;
constexpr double kAngleTextRadius = 400;
constexpr double kAngleSecondPointRadius = 550;

constexpr uint8_t kAxisLinearStyle = 0x20;
constexpr uint8_t kAlignedLinearStyle = 0x21;
constexpr uint8_t kAngularStyle = 0x22;
constexpr uint8_t kOtherSideStyle = 0x80;

double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}
double normalDegrees(double value) {
  const double wrapped = std::fmod(value, 360.0);
  return wrapped < 0 ? wrapped + 360.0 : wrapped;
}
Point along(Point from, double directionDegrees, double distance) {
  return {from.x + distance * std::cos(radians(directionDegrees)),
          from.y + distance * std::sin(radians(directionDegrees))};
}
int16_t whole(double value) {
  return static_cast<int16_t>(std::lround(value));
}

std::vector<Point> vertices(const FlashingRow& row) {
  std::vector<Point> points{{double(row.startX), double(row.startY)}};
  for (std::size_t i = 0; i < row.lengths.size(); ++i) {
    points.push_back(along(points.back(), row.anglesDegrees[i], row.lengths[i]));
  }
  return points;
}

Point centroid(const std::vector<Point>& points) {
  Point sum{0, 0};
  for (const Point& p : points) {
    sum.x += p.x;
    sum.y += p.y;
  }
  return {sum.x / double(points.size()), sum.y / double(points.size())};
}

// Texts read from left to right: a direction pointing leftwards is turned round.
bool readable(double directionDegrees) {
  const double d = normalDegrees(directionDegrees);
  return d <= 90.0 || d > 270.0;
}

DimensionMark linearMark(const FlashingRow& row, const std::vector<Point>& points,
                         std::size_t segment) {
  const Point a = points[segment];
  const Point b = points[segment + 1];
  const Point middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
  const Point centre = centroid(points);
  const double direction = normalDegrees(row.anglesDegrees[segment]);
  const Point left{-std::sin(radians(direction)), std::cos(radians(direction))};
  const bool outsideIsLeft = (middle.x - centre.x) * left.x + (middle.y - centre.y) * left.y >= 0;
  const bool turned = !readable(direction);
  const double textAngle = turned ? normalDegrees(direction - 180.0) : direction;
  // Outside on the text's upper side: the baseline sits on the text point. Otherwise the
  // preview moves the text below the point.
  const bool textAbove = outsideIsLeft != turned;
  const double outward = outsideIsLeft ? direction + 90.0 : direction - 90.0;
  const Point textPoint = along(middle, outward, textAbove ? kLinearTextAbove : kLinearTextBelow);

  const int divisor = row.name == kTenthsException ? 10 : 10 * row.scaleCode;
  const bool axisAligned = std::fmod(direction, 90.0) == 0.0;

  DimensionMark mark;
  mark.Kind = kLinearDimension;
  mark.P1X = whole(a.x);
  mark.P1Y = whole(a.y);
  mark.P2X = whole(b.x);
  mark.P2Y = whole(b.y);
  mark.Style = static_cast<uint8_t>((axisAligned ? kAxisLinearStyle : kAlignedLinearStyle) |
                                    (outsideIsLeft ? 0 : kOtherSideStyle));
  mark.Text = decimal(std::lround(double(row.lengths[segment]) / divisor));
  mark.VertexA = static_cast<uint8_t>(segment);
  mark.VertexB = static_cast<uint8_t>(segment + 1);
  mark.TextX = whole(textPoint.x);
  mark.TextY = whole(textPoint.y);
  mark.TextAtPoint = textAbove ? 1 : 0;
  mark.TextAngle = static_cast<float>(radians(textAngle));
  return mark;
}

DimensionMark angularMark(const FlashingRow& row, const std::vector<Point>& points,
                          std::size_t vertex) {
  const Point at = points[vertex];
  const double towardsB = normalDegrees(row.anglesDegrees[vertex - 1] + 180.0);
  const double towardsC = normalDegrees(row.anglesDegrees[vertex]);
  double sweep = normalDegrees(towardsC - towardsB);  // counter-clockwise from leg B to leg C
  double fromLeg = towardsB;
  if (sweep > 180.0) {
    sweep = 360.0 - sweep;
    fromLeg = towardsC;
  }
  const double bisector = normalDegrees(fromLeg + sweep / 2);
  // The arc point lies between the bisector and leg C.
  const double arcDirection = fromLeg == towardsB ? bisector + sweep / 6 : bisector - sweep / 6;
  const Point arc = along(at, arcDirection, kArcRadius);
  const Point text = along(at, bisector, kAngleTextRadius);
  const Point second = along(at, bisector, kAngleSecondPointRadius);
  const double across = normalDegrees(bisector - 90.0);
  const bool turned = !readable(across);

  DimensionMark mark;
  mark.Kind = kAngularDimension;
  mark.P1X = static_cast<int16_t>(vertex);
  mark.P1Y = 0;
  mark.P2X = whole(second.x);
  mark.P2Y = whole(second.y);
  mark.Style = static_cast<uint8_t>(kAngularStyle | (turned ? kOtherSideStyle : 0));
  mark.Text = decimal(std::lround(sweep)) + u"°";
  mark.VertexA = static_cast<uint8_t>(vertex);
  mark.VertexB = static_cast<uint8_t>(vertex - 1);
  mark.VertexC = static_cast<uint8_t>(vertex + 1);
  mark.ArcX = whole(arc.x);
  mark.ArcY = whole(arc.y);
  mark.TextX = whole(text.x);
  mark.TextY = whole(text.y);
  mark.TextAtPoint = 1;
  mark.TextAngle = static_cast<float>(radians(turned ? normalDegrees(across - 180.0) : across));
  return mark;
}

DimensionMark listedMark(const DimensionMarkRow& row) {
  DimensionMark mark;
  mark.Kind = row.kind;
  mark.P1X = row.p1x;
  mark.P1Y = row.p1y;
  mark.P2X = row.p2x;
  mark.P2Y = row.p2y;
  mark.Style = row.style;
  mark.Text = std::u16string(row.text);
  mark.VertexA = row.vertexA;
  mark.VertexB = row.vertexB;
  mark.VertexC = row.vertexC;
  mark.ArcX = row.arcX;
  mark.ArcY = row.arcY;
  mark.TextX = row.textX;
  mark.TextY = row.textY;
  mark.TextAtPoint = row.textAtPoint;
  mark.TextAngle = static_cast<float>(radians(row.textAngleDegrees));
  return mark;
}

std::vector<DimensionMark> plannedMarks(const FlashingRow& row) {
  const std::vector<Point> points = vertices(row);
  std::vector<DimensionMark> marks;
  std::istringstream plan{std::string(row.markPlan)};
  std::string step;
  while (plan >> step) {
    const std::size_t index = std::stoul(step.substr(1));
    if (step[0] == 'L' && index < row.lengths.size()) {
      marks.push_back(linearMark(row, points, index));
    } else if (step[0] == 'A' && index >= 1 && index < row.lengths.size()) {
      marks.push_back(angularMark(row, points, index));
    } else {
      throw std::invalid_argument("bad mark plan step " + step);
    }
  }
  return marks;
}

Flashing flashing(const FlashingRow& row) {
  Flashing f;
  f.Name = std::u16string(row.name);
  f.MaxCutLength = kMaxCutLength;
  f.Overlap = kOverlap;
  f.Color = std::u16string(kColor);
  f.EndExtension = kEndExtension;
  f.LengthFactor = kLengthFactor;
  f.DevelopedWidth = row.developedWidth;
  f.ScaleCode = row.scaleCode;
  f.StartX = row.startX;
  f.StartY = row.startY;
  f.SegmentLengths = DynamicArray<int16_t>(row.lengths);
  std::vector<double> angles;
  for (double a : row.anglesDegrees) {
    angles.push_back(radians(a));
  }
  f.SegmentAngles = DynamicArray<double>(std::move(angles));
  std::vector<TextMark> texts;
  for (const TextMarkRow& t : row.textMarks) {
    texts.push_back(TextMark{std::u16string(t.text), t.x, t.y,
                             static_cast<float>(radians(t.angleDegrees)), t.auxValue});
  }
  f.TextMarks = DynamicArray<TextMark>(std::move(texts));
  std::vector<DimensionMark> marks;
  if (row.markPlan.empty()) {
    for (const DimensionMarkRow& listed : listedMarks()) {
      marks.push_back(listedMark(listed));
    }
  } else {
    marks = plannedMarks(row);
  }
  if (marks.size() != row.dimensionCount) {
    throw std::logic_error("dimension mark count differs for " + toUtf8(row.name));
  }
  f.DimensionMarks = DynamicArray<DimensionMark>(std::move(marks));
  return f;
}

}  // namespace

LibraryTable generateTable() {
  std::vector<FlashingLibrary> libraries;
  for (std::u16string_view name : libraryNames()) {
    libraries.push_back(FlashingLibrary{std::u16string(name), {}, 0});
  }
  for (const FlashingRow& row : flashingRows()) {
    libraries.at(row.library).Flashings.push_back(flashing(row));
  }
  return LibraryTable(std::move(libraries));
}

std::string generateDatabase() {
  return writeLibraryTable(generateTable());
}

}  // namespace kvm::builtin
