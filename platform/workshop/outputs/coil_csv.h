#pragma once

#include <filesystem>
#include <ostream>
#include <span>

#include "coil/coil_order.h"

namespace kvm::workshop {

// coil.csv: one row per kind of piece on each row of each sheet pattern, UTF-8 with a byte
// order mark as the cut list has, so that spreadsheets read the colours right.
void writeCoilCsv(std::ostream& out, std::span<const CoilOrder> orders);

// Writes beside the file first, so that a failed write leaves no half a file. Throws
// files::FileWriteError naming the file.
void writeCoilCsv(const std::filesystem::path& file, std::span<const CoilOrder> orders);

// coil_total.csv: the coil to order, one row per colour and thickness.
void writeCoilTotalCsv(std::ostream& out, std::span<const CoilOrder> orders);
void writeCoilTotalCsv(const std::filesystem::path& file, std::span<const CoilOrder> orders);

}  // namespace kvm::workshop
