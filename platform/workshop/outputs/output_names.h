#pragma once

#include <array>
#include <string_view>

namespace kvm::workshop {

// The files a bill run writes into its output folder under names of their own, besides a
// profile picture per flashing ("01-屋脊包角.png") and the list of them all. The help names
// them from here, and a run refuses early a folder where one is a file of the user's.
inline constexpr std::array<std::string_view, 8> kBillOutputNames{
    "bill.dxf",    "bill.csv", "bill.txt",       "cutlist.csv",
    "cutplan.csv", "coil.csv", "coil_total.csv", "shop.pdf"};

// The demo writes these too: the sample project and its plan.
inline constexpr std::array<std::string_view, 2> kDemoOutputNames{"project.json", "plan.dxf"};

}  // namespace kvm::workshop
