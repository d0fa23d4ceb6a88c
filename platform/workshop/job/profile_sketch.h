#pragma once

#include <vector>

#include "platform/workshop/job/bill_record_reader.h"

namespace kvm::workshop {

struct SketchPoint {
  double x = 0;
  double y = 0;
  bool operator==(const SketchPoint&) const = default;
};

// The frame a profile sketch is fitted into, drawing units: its left edge and vertical
// centre, and how wide and high it may be.
struct SketchFrame {
  double left = 0;
  double centreY = 0;
  double width = 0;
  double height = 0;
};

// The profile polyline in profile units: from the start point each segment advances its
// length in its direction.
std::vector<SketchPoint> profileOutline(const BillEntry& entry);

// The outline scaled evenly to fit the frame, standing on its left edge and centred on its
// middle line. Empty when the flashing has no profile or the profile has no extent.
std::vector<SketchPoint> fitSketch(const std::vector<SketchPoint>& outline,
                                   const SketchFrame& frame);

}  // namespace kvm::workshop
