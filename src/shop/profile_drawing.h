#pragma once

#include <string>
#include <vector>

#include "shop/page_writer.h"
#include "shop/profile_geometry.h"

namespace kvm::shop {

// A five-pointed star, the way the detailer marks a side.
std::vector<Point> starShape(Point centre, double radius);

// Draws a profile to scale into the area, filling it, with every segment's length along it
// and every bend's angle inside it, the marker star where the profile has one. A label that
// finds no free place after the profile was drawn smaller comes back as a line for the legend.
std::vector<std::string> drawProfile(PageWriter& writer, const ProfileGeometry& profile,
                                     Point topLeft, Point bottomRight);

}  // namespace kvm::shop
