#include "settings/menu_enabling.h"

namespace kvm {

MenuEnabling menuEnabling(int32_t count, int32_t selected, bool currentUseList) {
  MenuEnabling items;
  items.sort = count != 0;
  if (count != 0 && selected != -1) {
    const bool first = selected == 0;
    const bool last = selected == count - 1;
    items.top = !first;
    items.up = !first;
    items.down = !last;
    items.bottom = !last;
    items.remove = true;
  }
  if (currentUseList) {
    items.locateVisible = true;
    items.locateEnabled = selected >= 0;
  } else {
    items.renameVisible = true;
    items.renameEnabled = selected >= 0;
  }
  return items;
}

}  // namespace kvm
