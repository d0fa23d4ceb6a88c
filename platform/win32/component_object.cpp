#include "platform/win32/component_object.h"

#include "host/argument_binding.h"
#include "host/interface.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"

namespace kvm::win32 {

ComponentObject::ComponentObject(DispatchPtr component) : component_(std::move(component)) {}

ComponentObject::~ComponentObject() {
  try {
    component_.reset();
  } catch (...) {  // NOLINT(bugprone-empty-catch): the end handles its own failures
  }
}

HRESULT ComponentObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) {
    return E_POINTER;
  }
  *count = 1;
  return S_OK;
}

HRESULT ComponentObject::GetTypeInfo(UINT index, LCID /*locale*/, ITypeInfo** info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  *info = nullptr;
  if (index != 0) {
    return DISP_E_BADINDEX;
  }
  return guardInvoke(nullptr, [&]() -> HRESULT {
    *info = ServerModule::instance().typeInfo().detach();
    return S_OK;
  });
}

HRESULT ComponentObject::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT count, LCID /*locale*/,
                                       DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) {
    return E_INVALIDARG;
  }
  return guardInvoke(nullptr, [&]() -> HRESULT {
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
    }
    const auto index = memberIndex(fromWide(names[0]));
    if (!index) {
      return DISP_E_UNKNOWNNAME;
    }
    ids[0] = static_cast<DISPID>(*index + 1);
    return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;  // arguments go by position only
  });
}

HRESULT ComponentObject::Invoke(DISPID id, REFIID /*iid*/, LCID /*locale*/, WORD flags,
                                DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                UINT* /*argumentError*/) {
  const auto members = clsKavelmorMembers();
  if (id < 1 || static_cast<std::size_t>(id) > members.size()) {
    return DISP_E_MEMBERNOTFOUND;
  }
  const MemberInfo& member = members[static_cast<std::size_t>(id) - 1];
  // Every member can be read or called; none can be assigned.
  if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) {
    return DISP_E_MEMBERNOTFOUND;
  }
  const InvokeKind kind =
      member.kind == MemberKind::ReadOnlyProperty ? InvokeKind::PropertyGet : InvokeKind::Method;
  return callCore(*component_, member.name, kind, parameters, result, exception);
}

std::vector<Variant> ComponentObject::prepareArguments(std::u16string_view name,
                                                       std::vector<Variant> args) {
  const MemberInfo* member = findMember(name);
  return member == nullptr ? args : bindArguments(*member, args);
}

AutomationObject::WriteBack ComponentObject::writeBackRule(std::u16string_view name,
                                                           std::size_t index) const {
  // A by-value parameter never changes the caller's variable, though its value was converted.
  const MemberInfo* member = findMember(name);
  if (member == nullptr || index >= member->parameters.size()) {
    return WriteBack::Never;
  }
  return member->parameters[index].byReference ? WriteBack::Always : WriteBack::Never;
}

Variant ComponentObject::prepareResult(std::u16string_view name, Variant value) {
  const MemberInfo* member = findMember(name);
  if (member == nullptr || member->resultType == VarType::Variant) {
    return value;
  }
  return convertTo(value, member->resultType);
}

}  // namespace kvm::win32
