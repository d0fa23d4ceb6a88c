#include "aliases/host_toolbar.h"

#include <string_view>

#include "base/text.h"

namespace kvm {

namespace {

constexpr std::u16string_view kMenuGroupName = u"QORNCAD";
constexpr std::u16string_view kToolbarTag = u"ID_KVM";

// The first item of a host collection whose text property, in upper case, is `wanted`.
DispatchPtr findItem(const DispatchPtr& collection, std::u16string_view property,
                     std::u16string_view wanted) {
  const int32_t count = toLong(get(collection, u"Count"));
  for (int32_t i = 0; i < count; ++i) {
    DispatchPtr item = getObject(collection, u"Item", {i});
    if (asciiUpper(toString(get(item, property))) == wanted) {
      return item;
    }
  }
  return nullptr;
}

}  // namespace

DispatchPtr findSystemToolbar(const DispatchPtr& application) {
  const DispatchPtr group =
      findItem(getObject(application, u"MenuGroups"), u"Name", kMenuGroupName);
  if (!group) {
    return nullptr;
  }
  return findItem(getObject(group, u"Toolbars"), u"TagString", kToolbarTag);
}

}  // namespace kvm
