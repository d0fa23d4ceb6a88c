#include "dispatch/dispatch.h"

#include "base/runtime_error.h"

namespace kvm {

namespace {
// "Object variable or With block variable not set" is what a call on nothing reports.
constexpr int32_t kObjectNotSet = 91;

Dispatch& target(const DispatchPtr& object) {
  if (!object) {
    raise(kObjectNotSet, u"Object variable or With block variable not set");
  }
  return *object;
}
}  // namespace

Variant call(const DispatchPtr& object, std::u16string_view name, std::vector<Variant> args) {
  return target(object).invoke(name, InvokeKind::Method, args);
}

Variant callByRef(const DispatchPtr& object, std::u16string_view name, std::vector<Variant>& args) {
  return target(object).invoke(name, InvokeKind::Method, args);
}

Variant get(const DispatchPtr& object, std::u16string_view name, std::vector<Variant> args) {
  return target(object).invoke(name, InvokeKind::PropertyGet, args);
}

void put(const DispatchPtr& object, std::u16string_view name, Variant value) {
  std::vector<Variant> args{std::move(value)};
  target(object).invoke(name, InvokeKind::PropertyPut, args);
}

DispatchPtr getObject(const DispatchPtr& object, std::u16string_view name,
                      std::vector<Variant> args) {
  return requireObject(get(object, name, std::move(args)));
}

DispatchPtr requireObject(const Variant& value) {
  if (value.isObject() && value.objectValue()) {
    return value.objectValue();
  }
  if (value.isEmpty() || value.isObject()) {
    raise(kObjectNotSet, u"Object variable or With block variable not set");
  }
  raise(err::kTypeMismatch);
}

}  // namespace kvm
