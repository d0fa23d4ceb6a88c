#pragma once

#include <cstdint>
#include <string>

#include "bill/block_grid.h"
#include "dispatch/dispatch.h"

namespace kvm {

struct Point3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

// Where the bill's texts go while the host draws a bill: the origin given to WSJM, the block
// being written and the point of its next count row.
class BillOutput {
 public:
  void start(double originX, double originY, int16_t textHeight);

  [[nodiscard]] Point3 origin() const { return {originX_, originY_, 0}; }
  // The block base follows the origin: 1550 right of it and 3050 below.
  [[nodiscard]] Point3 blockBase() const { return {originX_ + 1550, originY_ - 3050, 0}; }
  [[nodiscard]] int32_t blockIndex() const { return blockIndex_; }
  [[nodiscard]] int16_t textHeight() const { return textHeight_; }

  void resetBlockIndex() { blockIndex_ = -1; }

  // Moves the row point to the first row of block `blockId` and counts the block.
  void startBlock(int32_t blockId);

  // One count row: label and value 2000 apart, then the row point moves down by 580.
  void writeCountRow(const DispatchPtr& modelSpace, const std::u16string& label,
                     const std::u16string& value);

  // The block totals: area with its superscript, and the total length.
  void writeTotals(const DispatchPtr& modelSpace, const std::u16string& area,
                   const std::u16string& length, int32_t blockId) const;

 private:
  double originX_ = 0;
  double originY_ = 0;
  int32_t blockIndex_ = -1;
  Point3 rowPoint_;
  int16_t textHeight_ = 0;
};

// Adds a text to model space with the bill's layer, style and look.
DispatchPtr addBillText(const DispatchPtr& modelSpace, const std::u16string& text,
                        const Point3& point, double height, int32_t alignment);

Variant pointVariant(const Point3& point);

}  // namespace kvm
