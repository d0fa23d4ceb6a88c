#pragma once

#include <cstdint>

namespace kvm {

// Which items of the settings dialog's context menu the user can pick, for the list the menu
// opens on: `count` rows, `selected` the selected row (-1 for none).
struct MenuEnabling {
  bool top = false;
  bool up = false;
  bool down = false;
  bool bottom = false;
  bool remove = false;
  bool sort = false;
  bool locateVisible = false;
  bool locateEnabled = false;
  bool renameVisible = false;
  bool renameEnabled = false;

  bool operator==(const MenuEnabling&) const = default;
};

MenuEnabling menuEnabling(int32_t count, int32_t selected, bool currentUseList);

}  // namespace kvm
