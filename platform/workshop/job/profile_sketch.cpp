#include "platform/workshop/job/profile_sketch.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvm::workshop {

std::vector<SketchPoint> profileOutline(const BillEntry& entry) {
  std::vector<SketchPoint> points;
  if (entry.segmentLengths.empty()) {
    return points;
  }
  points.reserve(entry.segmentLengths.size() + 1);
  SketchPoint at{static_cast<double>(entry.startX), static_cast<double>(entry.startY)};
  points.push_back(at);
  for (std::size_t i = 0; i < entry.segmentLengths.size(); ++i) {
    at.x += entry.segmentLengths[i] * std::cos(entry.segmentAngles[i]);
    at.y += entry.segmentLengths[i] * std::sin(entry.segmentAngles[i]);
    points.push_back(at);
  }
  return points;
}

std::vector<SketchPoint> fitSketch(const std::vector<SketchPoint>& outline,
                                   const SketchFrame& frame) {
  if (outline.size() < 2) {
    return {};
  }
  double minX = std::numeric_limits<double>::max();
  double minY = minX;
  double maxX = std::numeric_limits<double>::lowest();
  double maxY = maxX;
  for (const SketchPoint& point : outline) {
    minX = std::min(minX, point.x);
    maxX = std::max(maxX, point.x);
    minY = std::min(minY, point.y);
    maxY = std::max(maxY, point.y);
  }
  const double width = maxX - minX;
  const double height = maxY - minY;
  if (!(width > 0) && !(height > 0)) {
    return {};
  }
  const double scale =
      std::min(width > 0 ? frame.width / width : std::numeric_limits<double>::max(),
               height > 0 ? frame.height / height : std::numeric_limits<double>::max());
  const double middleY = (minY + maxY) / 2;
  std::vector<SketchPoint> sketch;
  sketch.reserve(outline.size());
  for (const SketchPoint& point : outline) {
    sketch.push_back(
        {frame.left + (point.x - minX) * scale, frame.centreY + (point.y - middleY) * scale});
  }
  return sketch;
}

}  // namespace kvm::workshop
