#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/list_box.h"

namespace kvm {

// Row helpers of the settings dialog's lists. Callers that must keep the lists' handlers out
// of a change hold the list's Tag (ListTagGuard).

// The index of the record a row shows. No selection (-1) reads past every record, so that
// using it fails with error 9 as the platform's arrays do.
inline std::size_t recordIndex(int32_t row) {
  return static_cast<std::size_t>(static_cast<uint32_t>(row));
}

// The first row whose text is exactly `text`, `except` not counted; -1 when there is none.
int32_t findRow(const ListBox& list, std::u16string_view text, int32_t except = -1);

bool anyTicked(const ListBox& list);

// Moves a row to another index, with its tick, by removing it and inserting it again. The
// list stays scrolled where it was; the selection is the caller's to set.
void moveRow(ListBox& list, int32_t from, int32_t to);

// Gives a row a new text in the same way, keeping its tick and the scroll position.
void replaceRow(ListBox& list, int32_t row, std::u16string text);

}  // namespace kvm
