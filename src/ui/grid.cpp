#include "ui/grid.h"

#include <algorithm>

#include "base/runtime_error.h"

namespace kvm {

namespace {

constexpr int32_t kInvalidPropertyArrayIndex = 381;
constexpr int32_t kDefaultRowHeight = 240;
constexpr int32_t kDefaultColWidth = 960;

std::size_t index(int32_t value) {
  return static_cast<std::size_t>(value);
}

}  // namespace

Grid::Grid(Form& form, std::u16string name, int32_t rows, int32_t cols)
    : Control(form, std::move(name)) {
  setCols(cols);
  setRows(rows);
}

void Grid::checkCell(int32_t row, int32_t col) const {
  if (row < 0 || row >= rows() || col < 0 || col >= cols()) {
    raise(kInvalidPropertyArrayIndex, u"Subscript out of range");
  }
}

void Grid::setRows(int32_t rows) {
  rows = std::max(rows, 0);
  state_.cells.resize(index(rows), std::vector<std::u16string>(index(state_.cols)));
  state_.rowHeights.resize(index(rows), kDefaultRowHeight);
  state_.row = std::clamp(state_.row, 0, std::max(rows - 1, 0));
}

void Grid::setCols(int32_t cols) {
  state_.cols = std::max(cols, 0);
  for (auto& cells : state_.cells) {
    cells.resize(index(state_.cols));
  }
  state_.colWidths.resize(index(state_.cols), kDefaultColWidth);
  state_.col = std::clamp(state_.col, 0, std::max(state_.cols - 1, 0));
}

const std::u16string& Grid::textMatrix(int32_t row, int32_t col) const {
  checkCell(row, col);
  return state_.cells[index(row)][index(col)];
}

void Grid::setTextMatrix(int32_t row, int32_t col, std::u16string text) {
  checkCell(row, col);
  state_.cells[index(row)][index(col)] = std::move(text);
}

void Grid::setRow(int32_t row) {
  checkCell(row, state_.col);
  const bool changed = row != state_.row;
  state_.row = row;
  if (changed && onRowColChange) {
    onRowColChange();
  }
}

void Grid::setCol(int32_t col) {
  checkCell(state_.row, col);
  const bool changed = col != state_.col;
  state_.col = col;
  if (changed && onRowColChange) {
    onRowColChange();
  }
}

int32_t Grid::rowHeight(int32_t row) const {
  checkCell(row, 0);
  return state_.rowHeights[index(row)];
}

void Grid::setRowHeight(int32_t row, int32_t twips) {
  checkCell(row, 0);
  state_.rowHeights[index(row)] = twips;
}

int32_t Grid::colWidth(int32_t col) const {
  checkCell(0, col);
  return state_.colWidths[index(col)];
}

void Grid::setColWidth(int32_t col, int32_t twips) {
  checkCell(0, col);
  state_.colWidths[index(col)] = twips;
}

void Grid::userSelectRow(int32_t row) {
  setFocus();
  setRow(row);
  if (onClick) {
    onClick();
  }
}

void Grid::userDblClick() {
  setFocus();
  if (onDblClick) {
    onDblClick();
  }
}

}  // namespace kvm
