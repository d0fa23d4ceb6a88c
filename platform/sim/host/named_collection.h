#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "base/text.h"
#include "dispatch/dispatch.h"
#include "platform/sim/host/collection_index.h"
#include "platform/sim/host/member_call.h"

namespace kvm::sim {

// A collection of the host (documents, menu groups, a group's toolbars): Count, and Item by
// zero-based index or by name, also as the default member. Item needs a name().
template <class Item>
class NamedCollection : public Dispatch {
 public:
  NamedCollection(std::u16string typeName, std::vector<std::shared_ptr<Item>> items)
      : typeName_(std::move(typeName)), items_(std::move(items)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override {
    MemberCall call(name, kind, args);
    if (call.get(u"Count")) return static_cast<int32_t>(items_.size());
    if (call.get(u"Item", 1) || call.get(u"", 1)) return DispatchPtr(find(call.arg(0)));
    call.fail();
  }

  [[nodiscard]] std::u16string typeName() const override { return typeName_; }

 private:
  const std::shared_ptr<Item>& find(const Variant& key) const {
    if (!key.isString()) {
      return items_[collectionIndex(key, items_.size())];
    }
    for (const auto& item : items_) {
      if (equalsIgnoringAsciiCase(item->name(), key.stringValue())) {
        return item;
      }
    }
    raise(err::kInvalidCall, u"Key not found");
  }

  std::u16string typeName_;
  std::vector<std::shared_ptr<Item>> items_;
};

}  // namespace kvm::sim
