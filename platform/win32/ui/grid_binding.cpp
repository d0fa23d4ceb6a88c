#include "platform/win32/ui/window_binding.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/bstr.h"
#include "platform/win32/handles.h"
#include "ui/grid.h"

namespace kvm::win32 {

namespace {

// The grid as a report-style list view: its first row the header, one item per further row.
class GridBinding final : public WindowBinding {
 public:
  GridBinding(Grid& grid, const BindingContext& context)
      : WindowBinding(grid, makeChild(WC_LISTVIEWW, u"",
                                      LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                          LVS_NOCOLUMNHEADER | WS_TABSTOP,
                                      WS_EX_CLIENTEDGE, grid, context)),
        grid_(grid),
        dialog_(context.parent),
        font_(context.font) {
    ListView_SetExtendedListViewStyle(window(), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  }

  void sync() override {
    if (grid_.cells() != cells_ || widths() != widths_) {
      rebuild();
      const RECT area{grid_.left(), grid_.top(), grid_.left() + grid_.width(),
                      grid_.top() + grid_.height()};
      InvalidateRect(dialog_, &area, TRUE);
    }
    WindowBinding::sync();
    const int current = grid_.row() - 1;
    if (current >= 0 && (ListView_GetNextItem(window(), -1, LVNI_SELECTED) != current ||
                         ListView_GetSelectedCount(window()) != 1)) {
      const ScopedQuiet quiet(quiet_);
      // Only the current row is selected, so that a click on any other row changes the
      // selection and reaches the model.
      ListView_SetItemState(window(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_SetItemState(window(), current, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(window(), current, FALSE);
    }
  }
  bool notify(const NMHDR& header) override {
    if (header.code == LVN_ITEMCHANGED && !quiet_) {
      const auto& change =
          reinterpret_cast<const NMLISTVIEW&>(header);  // NOLINT: the notification's own record
      if ((change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0 &&
          change.iItem + 1 != grid_.row()) {
        grid_.userSelectRow(change.iItem + 1);
      }
      return true;
    }
    if (header.code == NM_DBLCLK) {
      grid_.userDblClick();
      return true;
    }
    return false;
  }

  // The header row, drawn by the dialog above the list: its captions keep their line breaks.
  void paint(HDC dc) override {
    if (!grid_.visible() || cells_.empty()) {
      return;
    }
    const SelectedObject font(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int band = bandAbove();
    int left = grid_.left();
    const int right = grid_.left() + grid_.width();
    for (std::size_t col = 0; col < widths_.size() && left < right; ++col) {
      RECT cell{left, grid_.top(), std::min(left + widths_[col] / kTwipsPerPixel, right),
                grid_.top() + band};
      FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, &cell, EDGE_RAISED, BF_RECT);
      std::u16string caption = cells_[0][col];
      std::erase(caption, u'\r');
      RECT measured = cell;
      DrawTextW(dc, wide(caption), static_cast<int>(caption.size()), &measured,
                DT_CALCRECT | DT_CENTER | DT_NOPREFIX);
      RECT text = cell;
      text.top += (band - (measured.bottom - measured.top)) / 2;
      DrawTextW(dc, wide(caption), static_cast<int>(caption.size()), &text,
                DT_CENTER | DT_NOPREFIX);
      left = cell.right;
    }
  }

 private:
  static constexpr int kHeaderPadding = 6;

  [[nodiscard]] int bandAbove() const override {
    if (cells_.empty()) {
      return 0;
    }
    std::ptrdiff_t lines = 1;
    for (const std::u16string& caption : cells_[0]) {
      lines = std::max(lines, 1 + std::count(caption.begin(), caption.end(), u'\n'));
    }
    return static_cast<int>(lines) * kLineHeight + kHeaderPadding;
  }

  struct ScopedQuiet {
    explicit ScopedQuiet(bool& flag) : flag_(flag) { flag_ = true; }
    ScopedQuiet(const ScopedQuiet&) = delete;
    ScopedQuiet& operator=(const ScopedQuiet&) = delete;
    ScopedQuiet(ScopedQuiet&&) = delete;
    ScopedQuiet& operator=(ScopedQuiet&&) = delete;
    ~ScopedQuiet() { flag_ = false; }
    bool& flag_;
  };

  [[nodiscard]] std::vector<int32_t> widths() const {
    std::vector<int32_t> result;
    result.reserve(static_cast<std::size_t>(std::max(grid_.cols(), 0)));
    for (int32_t col = 0; col < grid_.cols(); ++col) {
      result.push_back(grid_.colWidth(col));
    }
    return result;
  }

  void rebuild() {
    const ScopedQuiet quiet(quiet_);
    cells_ = grid_.cells();
    widths_ = widths();
    ListView_DeleteAllItems(window());
    while (ListView_DeleteColumn(window(), 0) != FALSE) {
    }
    for (std::size_t col = 0; col < widths_.size(); ++col) {
      std::u16string caption = cells_.empty() ? std::u16string() : cells_[0][col];
      std::replace(caption.begin(), caption.end(), u'\n', u' ');
      std::erase(caption, u'\r');
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = widths_[col] / kTwipsPerPixel;
      column.pszText = const_cast<wchar_t*>(wide(caption));  // NOLINT: the call only reads it
      SendMessageW(window(), LVM_INSERTCOLUMNW, col,
                   reinterpret_cast<LPARAM>(&column));  // NOLINT: the message's record
    }
    for (std::size_t row = 1; row < cells_.size(); ++row) {
      for (std::size_t col = 0; col < cells_[row].size(); ++col) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row - 1);
        item.iSubItem = static_cast<int>(col);
        item.pszText = const_cast<wchar_t*>(wide(cells_[row][col]));  // NOLINT: only read
        SendMessageW(window(), col == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0,
                     reinterpret_cast<LPARAM>(&item));  // NOLINT: the message's record
      }
    }
    fitRowHeight();
  }

  // A list view's rows are as tall as its small images: an empty image list of the grid's row
  // height gives the rows the grid's own height. The list view deletes the list it holds.
  void fitRowHeight() {
    const int height = cells_.size() > 1 ? grid_.rowHeight(1) / kTwipsPerPixel : 0;
    if (height <= 0 || height == rowHeight_) {
      return;
    }
    rowHeight_ = height;
    HIMAGELIST previous =
        ListView_SetImageList(window(), ImageList_Create(1, height, ILC_COLOR, 0, 0), LVSIL_SMALL);
    if (previous != nullptr) {
      ImageList_Destroy(previous);
    }
  }

  Grid& grid_;
  HWND dialog_;
  HFONT font_;
  std::vector<std::vector<std::u16string>> cells_;
  std::vector<int32_t> widths_;
  int rowHeight_ = 0;
  bool quiet_ = false;
};

}  // namespace

std::unique_ptr<ControlBinding> bindGrid(Grid& grid, const BindingContext& context) {
  return std::make_unique<GridBinding>(grid, context);
}

}  // namespace kvm::win32
