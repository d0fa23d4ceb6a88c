#include "platform/win32/com_dispatch.h"

#include <cstring>

#include "base/runtime_error.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/dispatch_com_object.h"
#include "platform/win32/variant_conversion.h"

namespace kvm::win32 {

namespace {

// Late binding cannot tell a method from a property: every member whose result is used is
// asked for as either (a collection's Item is a method in most object models, a property in
// others), and an assigned object is a reference, not the object's default value.
WORD invokeFlags(InvokeKind kind, const std::vector<Variant>& args) {
  switch (kind) {
    case InvokeKind::Method:
    case InvokeKind::PropertyGet: return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    case InvokeKind::PropertyPut:
      return !args.empty() && args.back().isObject() ? DISPATCH_PROPERTYPUTREF
                                                     : DISPATCH_PROPERTYPUT;
  }
  return DISPATCH_METHOD;
}

}  // namespace

ComDispatch::ComDispatch(ComPtr<IDispatch> object) : object_(std::move(object)) {}

DISPID ComDispatch::memberId(std::u16string_view name) {
  if (const auto found = ids_.find(name); found != ids_.end()) {
    return found->second;
  }
  std::u16string key(name);
  LPOLESTR names[] = {const_cast<LPOLESTR>(wide(key))};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT result = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (result == DISP_E_UNKNOWNNAME || result == DISP_E_MEMBERNOTFOUND) {
    raise(err::kMemberNotFound);
  }
  check(result);
  ids_.emplace(std::move(key), id);
  return id;
}

Variant ComDispatch::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  const DISPID id = memberId(name);

  // The callee sees the arguments last to first.
  std::vector<ComVariant> values(args.size());
  std::vector<VARIANT> sent(args.size());
  std::vector<VARIANT> passed(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    values[i] = toComVariant(args[i]);
    sent[i] = values[i].get();
    VARIANT& reference = passed[args.size() - 1 - i];
    VariantInit(&reference);
    reference.vt = VT_BYREF | VT_VARIANT;
    reference.pvarVal = &values[i].get();
  }
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{passed.data(), nullptr, static_cast<UINT>(passed.size()), 0};
  if (kind == InvokeKind::PropertyPut) {
    parameters.rgdispidNamedArgs = &putId;
    parameters.cNamedArgs = 1;
  }

  ComVariant result;
  EXCEPINFO exception{};
  UINT argumentError = 0;
  const HRESULT outcome =
      object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, invokeFlags(kind, args), &parameters,
                      &result.get(), &exception, &argumentError);
  if (FAILED(outcome)) {
    throw errorFromInvoke(outcome, exception);
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    // Only what the callee replaced is read back, so untouched objects keep their identity. The
    // bytes are compared as they were sent: a copy of them, not a value to compare by meaning.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    if (std::memcmp(&sent[i], &values[i].get(), sizeof(VARIANT)) != 0) {
      args[i] = fromComVariant(values[i].get());
    }
  }
  return fromComVariant(result.get());
}

std::u16string ComDispatch::typeName() const {
  ComPtr<ITypeInfo> info;
  if (SUCCEEDED(object_->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) && info) {
    BSTR name = nullptr;
    if (SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr))) {
      std::u16string text = fromBstr(name);
      SysFreeString(name);
      // A class's default interface is named after it with a leading "_"; the class's own
      // name is what callers know.
      if (text.size() > 1 && text.front() == u'_') {
        text.erase(0, 1);
      }
      return text;
    }
  }
  return u"Object";
}

DispatchPtr wrapComObject(IDispatch* object) {
  if (object == nullptr) {
    return nullptr;
  }
  if (DispatchPtr own = coreObjectOf(object)) {
    return own;
  }
  return std::make_shared<ComDispatch>(ComPtr<IDispatch>::retain(object));
}

}  // namespace kvm::win32
