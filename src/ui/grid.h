#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// A flexible grid: a table of text cells whose first row is the header, a current cell and
// the row heights and column widths (twips, as the grid control takes them).
class Grid final : public Control {
 public:
  Grid(Form& form, std::u16string name, int32_t rows, int32_t cols);

  [[nodiscard]] int32_t rows() const noexcept { return static_cast<int32_t>(state_.cells.size()); }
  [[nodiscard]] int32_t cols() const noexcept { return state_.cols; }
  // Growing adds empty cells, shrinking drops them; the current cell stays inside.
  void setRows(int32_t rows);
  void setCols(int32_t cols);

  // Cells outside the table are error 381.
  [[nodiscard]] const std::u16string& textMatrix(int32_t row, int32_t col) const;
  void setTextMatrix(int32_t row, int32_t col, std::u16string text);
  [[nodiscard]] const std::vector<std::vector<std::u16string>>& cells() const noexcept {
    return state_.cells;
  }

  [[nodiscard]] int32_t row() const noexcept { return state_.row; }
  [[nodiscard]] int32_t col() const noexcept { return state_.col; }
  // Moving the current cell runs RowColChange when it changed; outside is error 381.
  void setRow(int32_t row);
  void setCol(int32_t col);

  [[nodiscard]] int32_t rowHeight(int32_t row) const;
  void setRowHeight(int32_t row, int32_t twips);
  [[nodiscard]] int32_t colWidth(int32_t col) const;
  void setColWidth(int32_t col, int32_t twips);

  std::function<void()> onRowColChange;
  std::function<void()> onClick;
  std::function<void()> onDblClick;

  // The user clicks a row (keeping the column): it becomes current, then Click runs.
  void userSelectRow(int32_t row);
  // The user double-clicks the current row.
  void userDblClick();

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 protected:
  void saveOwnDesign() override { design_ = state_; }
  void restoreOwnDesign() override { state_ = design_; }

 private:
  void checkCell(int32_t row, int32_t col) const;

  struct State {
    std::vector<std::vector<std::u16string>> cells;
    int32_t cols = 0;
    int32_t row = 0;
    int32_t col = 0;
    std::vector<int32_t> rowHeights;
    std::vector<int32_t> colWidths;
  };
  State state_;
  State design_;
};

}  // namespace kvm
