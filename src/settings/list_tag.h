#pragma once

#include "ui/list_box.h"

namespace kvm {

// While the program itself changes a list, its Tag is "1" so that the list's handlers leave
// the change alone; the Tag is empty again right after.
class ListTagGuard {
 public:
  explicit ListTagGuard(ListBox& list) : list_(list) { list_.setTag(u"1"); }
  ListTagGuard(const ListTagGuard&) = delete;
  ListTagGuard& operator=(const ListTagGuard&) = delete;
  ListTagGuard(ListTagGuard&&) = delete;
  ListTagGuard& operator=(ListTagGuard&&) = delete;
  ~ListTagGuard() { list_.setTag(u""); }

 private:
  ListBox& list_;
};

}  // namespace kvm
