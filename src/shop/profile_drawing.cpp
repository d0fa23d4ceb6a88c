#include "shop/profile_drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace kvm::shop {

namespace {

constexpr double kLabelSize = 9;
constexpr double kProfileWidth = 1.4;
constexpr double kArcWidth = 0.5;
constexpr double kLineClearance = 1.2;
constexpr double kTextClearance = 1.5;
constexpr double kStarRadius = 6;
constexpr double kMinStarRadius = 3;

Point operator+(Point a, Point b) {
  return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b) {
  return {a.x - b.x, a.y - b.y};
}
Point operator*(Point a, double k) {
  return {a.x * k, a.y * k};
}
double norm(Point a) {
  return std::hypot(a.x, a.y);
}
Point unit(Point a) {
  const double n = norm(a);
  return n > 1e-12 ? a * (1 / n) : Point{1, 0};
}
Point rotated(Point a, double angle) {
  return {a.x * std::cos(angle) - a.y * std::sin(angle),
          a.x * std::sin(angle) + a.y * std::cos(angle)};
}

// What labels must keep clear of.
struct Obstacles {
  std::vector<DrawnLine> lines;
  std::vector<Quad> boxes;
  Point topLeft, bottomRight;

  [[nodiscard]] bool free(const Quad& box) const {
    if (!quadInside(box, topLeft, bottomRight)) return false;
    for (const DrawnLine& line : lines) {
      if (segmentTouchesQuad(line.from, line.to, box, kLineClearance)) return false;
    }
    return std::none_of(boxes.begin(), boxes.end(), [&](const Quad& other) {
      return quadsOverlap(box, other, kTextClearance);
    });
  }
};

struct Placed {
  std::string text;
  Point origin;
  double angle = 0;
  Quad box;
};

// The origin that centres a text of these metrics on centre.
Point centredOrigin(const TextMetrics& m, Point centre, double angle) {
  const Point along{std::cos(angle), std::sin(angle)};
  const Point down{-along.y, along.x};
  return centre - along * (m.width / 2) + down * ((m.ascent - m.descent) / 2);
}

std::optional<Placed> tryAt(const Obstacles& obstacles, const std::string& text,
                            const TextMetrics& m, Point centre, double angle) {
  const Point origin = centredOrigin(m, centre, angle);
  const Quad box = textBox(m, origin, angle);
  if (!obstacles.free(box)) return std::nullopt;
  return Placed{text, origin, angle, box};
}

// Horizontal, around a point, at growing distances: the last resort of every label.
std::optional<Placed> around(const Obstacles& obstacles, const std::string& text,
                             const TextMetrics& m, Point centre, Point preferred) {
  const Point first = unit(preferred);
  for (double distance = 4; distance <= 90; distance += 3) {
    for (int step = 0; step < 16; ++step) {
      const int eighths = (step % 2 == 0 ? 1 : -1) * ((step + 1) / 2);
      const double turn = eighths * std::numbers::pi / 8;
      const Point direction = rotated(first, turn);
      const Point c = centre + Point{direction.x * (distance + m.width / 2),
                                     direction.y * (distance + (m.ascent + m.descent) / 2)};
      if (auto placed = tryAt(obstacles, text, m, c, 0)) return placed;
    }
  }
  return std::nullopt;
}

std::optional<Placed> placeSegmentLabel(const Obstacles& obstacles, const std::string& text,
                                        const TextMetrics& m, Point from, Point to,
                                        Point centroid) {
  const Point direction = unit(to - from);
  double angle = std::atan2(direction.y, direction.x);
  if (angle > std::numbers::pi / 2 + 1e-9) angle -= std::numbers::pi;
  if (angle <= -std::numbers::pi / 2 + 1e-9) angle += std::numbers::pi;
  Point outward{-direction.y, direction.x};
  const Point middle = (from + to) * 0.5;
  const Point toMiddle = middle - centroid;
  if (outward.x * toMiddle.x + outward.y * toMiddle.y < 0) outward = outward * -1;
  const double half = (m.ascent + m.descent) / 2;
  for (const double offset : {2.5, 6.0, 11.0, 18.0}) {
    for (const double t : {0.5, 0.4, 0.6, 0.3, 0.7, 0.2, 0.8}) {
      for (const double side : {1.0, -1.0}) {
        const Point c = from + (to - from) * t + outward * (side * (offset + half));
        if (auto placed = tryAt(obstacles, text, m, c, angle)) return placed;
      }
    }
  }
  return around(obstacles, text, m, middle, outward);
}

std::optional<Placed> placeBendLabel(const Obstacles& obstacles, const std::string& text,
                                     const TextMetrics& m, Point vertex, Point bisector,
                                     double radius) {
  for (const double turn : {0.0, 0.35, -0.35}) {
    const Point direction = rotated(bisector, turn);
    for (double distance = radius + 2; distance <= radius + 40; distance += 2) {
      const Point c = vertex + Point{direction.x * (distance + m.width / 2),
                                     direction.y * (distance + (m.ascent + m.descent) / 2)};
      if (auto placed = tryAt(obstacles, text, m, c, 0)) return placed;
    }
  }
  return around(obstacles, text, m, vertex, bisector * -1);
}

// The arc between two legs leaving a vertex, the short way round.
std::vector<DrawnLine> bendArc(Point vertex, Point legA, Point legB, double radius) {
  const double from = std::atan2(legA.y, legA.x);
  const double sweep = std::remainder(std::atan2(legB.y, legB.x) - from, 2 * std::numbers::pi);
  constexpr int kSteps = 10;
  std::vector<DrawnLine> arc;
  Point previous = vertex + legA * radius;
  for (int i = 1; i <= kSteps; ++i) {
    const double a = from + sweep * i / kSteps;
    const Point next = vertex + Point{std::cos(a), std::sin(a)} * radius;
    arc.push_back({previous, next, kArcWidth, 0.35});
    previous = next;
  }
  return arc;
}

struct Attempt {
  std::vector<DrawnLine> profile;
  std::vector<DrawnLine> arcs;
  std::optional<std::vector<Point>> star;
  std::vector<Placed> labels;
  std::vector<std::string> missing;
};

std::optional<std::vector<Point>> placeStar(const Obstacles& obstacles, Point centre,
                                            Point awayFrom) {
  const auto clear = [&](const std::vector<Point>& shape) {
    return obstacles.free(boundingQuad(shape));
  };
  for (double r = kStarRadius; r >= kMinStarRadius; r -= 0.5) {
    if (auto shape = starShape(centre, r); clear(shape)) return shape;
  }
  // On the line itself: moved off it, away from the profile's middle.
  const Point push = unit(centre - awayFrom);
  for (double distance = 2; distance <= 60; distance += 2) {
    for (const double turn : {0.0, 0.6, -0.6, 1.2, -1.2}) {
      if (auto shape = starShape(centre + rotated(push, turn) * distance, kStarRadius);
          clear(shape)) {
        return shape;
      }
    }
  }
  return std::nullopt;
}

Attempt attempt(const PageWriter& writer, const ProfileGeometry& profile, Point topLeft,
                Point bottomRight, double fill) {
  Attempt result;
  const auto& v = profile.vertices;
  double left = v[0].x;
  double right = left;
  double low = v[0].y;
  double high = low;
  std::vector<Point> extent = v;
  // The star belongs to the drawing even where the detailer put it off the profile.
  if (profile.star) extent.push_back(*profile.star);
  for (const Point& p : extent) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    low = std::min(low, p.y);
    high = std::max(high, p.y);
  }
  // Room for labels round the profile.
  constexpr double kLabelRoom = 42;
  const double areaW = std::max(1.0, bottomRight.x - topLeft.x - 2 * kLabelRoom);
  const double areaH = std::max(1.0, bottomRight.y - topLeft.y - 2 * kLabelRoom);
  const double spanW = right - left;
  const double spanH = high - low;
  double scale = 1;
  if (spanW > 1e-9 || spanH > 1e-9) {
    scale = std::min(spanW > 1e-9 ? areaW / spanW : 1e300, spanH > 1e-9 ? areaH / spanH : 1e300);
  }
  scale *= fill;
  const Point centre{(topLeft.x + bottomRight.x) / 2, (topLeft.y + bottomRight.y) / 2};
  const auto onPage = [&](Point p) {
    return Point{centre.x + (p.x - (left + right) / 2) * scale,
                 centre.y - (p.y - (low + high) / 2) * scale};
  };
  std::vector<Point> page;
  page.reserve(v.size());
  for (const Point& p : v) page.push_back(onPage(p));
  Point centroid{0, 0};
  for (const Point& p : page) centroid = centroid + p * (1.0 / static_cast<double>(page.size()));

  for (std::size_t i = 0; i + 1 < page.size(); ++i) {
    if (profile.lengths[i] > 0) {
      result.profile.push_back({page[i], page[i + 1], kProfileWidth, 0});
    }
  }
  Obstacles obstacles{result.profile, {}, topLeft, bottomRight};

  // Arcs first: they say which angle a number belongs to.
  std::vector<std::pair<Point, double>> bendPlaces;  // vertex, arc radius
  std::vector<Point> bisectors;
  for (const Bend& bend : profile.bends) {
    const Point vertex = page[bend.segment + 1];
    const Point legA = unit(page[bend.segment] - vertex);
    const Point legB = unit(page[bend.next + 1] - vertex);
    const double shorter =
        std::min(norm(page[bend.segment] - vertex), norm(page[bend.next + 1] - vertex));
    const double radius = std::clamp(shorter * 0.35, 2.0, 10.0);
    Point bisector = legA + legB;
    bisector = norm(bisector) > 1e-6 ? unit(bisector) : Point{-legA.y, legA.x};
    for (const DrawnLine& line : bendArc(vertex, legA, legB, radius)) {
      result.arcs.push_back(line);
      obstacles.lines.push_back(line);
    }
    bendPlaces.emplace_back(vertex, radius);
    bisectors.push_back(bisector);
  }

  if (profile.star) {
    result.star = placeStar(obstacles, onPage(*profile.star), centroid);
    if (result.star) obstacles.boxes.push_back(boundingQuad(*result.star));
  }

  for (std::size_t i = 0; i + 1 < page.size(); ++i) {
    if (profile.lengths[i] <= 0) continue;
    const std::string text = upTo(profile.lengths[i], 1);
    const TextMetrics m = writer.metrics(text, kLabelSize);
    if (auto placed = placeSegmentLabel(obstacles, text, m, page[i], page[i + 1], centroid)) {
      obstacles.boxes.push_back(placed->box);
      result.labels.push_back(*placed);
    } else {
      result.missing.push_back("第 " + std::to_string(i + 1) + " 段 " + text + " mm");
    }
  }
  for (std::size_t b = 0; b < profile.bends.size(); ++b) {
    const std::string text = upTo(profile.bends[b].degrees, 1) + "°";
    const TextMetrics m = writer.metrics(text, kLabelSize);
    const auto [vertex, radius] = bendPlaces[b];
    if (auto placed = placeBendLabel(obstacles, text, m, vertex, bisectors[b], radius)) {
      obstacles.boxes.push_back(placed->box);
      result.labels.push_back(*placed);
    } else {
      result.missing.push_back("第 " + std::to_string(profile.bends[b].segment + 1) + "、" +
                               std::to_string(profile.bends[b].next + 1) + " 段间 " + text);
    }
  }
  return result;
}

}  // namespace

std::vector<Point> starShape(Point centre, double radius) {
  std::vector<Point> points;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? radius : radius * 0.42;
    const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
  }
  return points;
}

std::vector<std::string> drawProfile(PageWriter& writer, const ProfileGeometry& profile,
                                     Point topLeft, Point bottomRight) {
  if (profile.vertices.size() < 2) return {};
  std::optional<Attempt> best;
  for (const double fill : {1.0, 0.85, 0.7, 0.55, 0.4}) {
    Attempt next = attempt(writer, profile, topLeft, bottomRight, fill);
    const bool better = !best || next.missing.size() < best->missing.size();
    if (better) best = std::move(next);
    if (best->missing.empty()) break;
  }
  Page& page = writer.page();
  for (const DrawnLine& line : best->profile) {
    page.profile.push_back(line);
    page.lines.push_back(line);
  }
  page.lines.insert(page.lines.end(), best->arcs.begin(), best->arcs.end());
  if (best->star) page.shapes.push_back({*best->star});
  for (const Placed& label : best->labels) {
    writer.text(label.text, label.origin, kLabelSize, false, label.angle);
  }
  return best->missing;
}

}  // namespace kvm::shop
