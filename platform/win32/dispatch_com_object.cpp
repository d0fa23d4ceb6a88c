#include "platform/win32/dispatch_com_object.h"

#include <cstdint>

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/variant_conversion.h"

namespace kvm::win32 {

namespace {

// Asked of an IDispatch to find the core object behind it. The identifier is mixed with an
// address inside this module, so an object of another module (a program and the DLL are
// built from the same sources) never answers, and no C++ object crosses between them.
IID coreObjectIid() {
  static const char moduleTag = 0;
  static const IID iid = [] {
    // {5B0F3C61-2E4A-4C1B-9A7E-0D2C8F41A9B3}
    IID mixed = {0x5b0f3c61, 0x2e4a, 0x4c1b, {0x9a, 0x7e, 0x0d, 0x2c, 0x8f, 0x41, 0xa9, 0xb3}};
    // 64 bits wide in both builds: the x86 one mixes in zeros above its 32-bit address.
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&moduleTag));
    mixed.Data1 ^= static_cast<unsigned long>(address & 0xFFFFFFFFU);
    mixed.Data2 ^= static_cast<unsigned short>((address >> 32U) & 0xFFFFU);
    mixed.Data3 ^= static_cast<unsigned short>((address >> 48U) & 0xFFFFU);
    return mixed;
  }();
  return iid;
}

std::vector<Variant> readArguments(const DISPPARAMS& parameters, UINT positional) {
  std::vector<Variant> args;
  args.reserve(positional);
  for (UINT i = 0; i < positional; ++i) {
    args.push_back(fromComVariant(parameters.rgvarg[parameters.cArgs - 1 - i]));
  }
  return args;
}

}  // namespace

HRESULT AutomationObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
  } else if (IsEqualIID(iid, coreObjectIid())) {
    // No reference: the caller only compares and reads while holding the object.
    *object = this;
    return S_OK;
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG AutomationObject::AddRef() {
  return ++references_;
}

ULONG AutomationObject::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    delete this;  // NOLINT(cppcoreguidelines-owning-memory): COM objects own themselves
  }
  return left;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) {
    return E_POINTER;
  }
  *count = 0;
  return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo** info) {
  if (info != nullptr) {
    *info = nullptr;
  }
  return DISP_E_BADINDEX;
}

std::vector<Variant> AutomationObject::prepareArguments(std::u16string_view /*name*/,
                                                        std::vector<Variant> args) {
  return args;
}

AutomationObject::WriteBack AutomationObject::writeBackRule(std::u16string_view /*name*/,
                                                            std::size_t /*index*/) const {
  return WriteBack::IfChanged;
}

Variant AutomationObject::prepareResult(std::u16string_view /*name*/, Variant value) {
  return value;
}

HRESULT AutomationObject::callCore(Dispatch& target, std::u16string_view name, InvokeKind kind,
                                   DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception) noexcept {
  return guardInvoke(exception, [&]() -> HRESULT {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (parameters == nullptr) {
      parameters = &none;  // some callers pass nothing for a call without arguments
    }
    UINT positional = parameters->cArgs;
    if (kind == InvokeKind::PropertyPut) {
      // The new value is the one named argument, DISPID_PROPERTYPUT, first in rgvarg.
      if (parameters->cNamedArgs != 1 || parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return DISP_E_PARAMNOTOPTIONAL;
      }
    } else if (parameters->cNamedArgs != 0) {
      return DISP_E_NONAMEDARGS;
    }
    std::vector<Variant> args =
        prepareArguments(name, readArguments(*parameters, positional - parameters->cNamedArgs));
    if (kind == InvokeKind::PropertyPut) {
      args.push_back(fromComVariant(parameters->rgvarg[0]));
    }
    const std::vector<Variant> sent = args;
    Variant value = prepareResult(name, target.invoke(name, kind, args));
    for (UINT i = 0; i + parameters->cNamedArgs < positional; ++i) {
      const WriteBack rule = writeBackRule(name, i);
      if (rule == WriteBack::Always || (rule == WriteBack::IfChanged && !(args[i] == sent[i]))) {
        writeBack(parameters->rgvarg[positional - 1 - i], args[i]);
      }
    }
    if (result != nullptr) {
      *result = toComVariant(value).detach();
    }
    return S_OK;
  });
}

DispatchComObject::DispatchComObject(DispatchPtr target) : target_(std::move(target)) {}

HRESULT DispatchComObject::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT count,
                                         LCID /*locale*/, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) {
    return E_INVALIDARG;
  }
  return guardInvoke(nullptr, [&]() -> HRESULT {
    const std::u16string name = fromWide(names[0]);
    DISPID id = 0;
    for (std::size_t i = 0; i < names_.size() && id == 0; ++i) {
      if (equalsIgnoringAsciiCase(names_[i], name)) {
        id = static_cast<DISPID>(i + 1);
      }
    }
    if (id == 0) {
      names_.push_back(name);
      id = static_cast<DISPID>(names_.size());
    }
    ids[0] = id;
    // Named parameters are not offered.
    for (UINT i = 1; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
    }
    return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  });
}

HRESULT DispatchComObject::Invoke(DISPID id, REFIID /*iid*/, LCID /*locale*/, WORD flags,
                                  DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                  UINT* /*argumentError*/) {
  std::u16string_view name;  // DISPID_VALUE: the object's default member
  if (id != DISPID_VALUE) {
    if (id < 1 || static_cast<std::size_t>(id) > names_.size()) {
      return DISP_E_MEMBERNOTFOUND;
    }
    name = names_[static_cast<std::size_t>(id) - 1];
  }
  return callCore(*target_, name, invokeKindOf(flags), parameters, result, exception);
}

InvokeKind invokeKindOf(WORD flags) {
  if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
    return InvokeKind::PropertyPut;
  }
  if ((flags & DISPATCH_METHOD) != 0) {
    return InvokeKind::Method;
  }
  return InvokeKind::PropertyGet;
}

ComPtr<IDispatch> exposeDispatch(const DispatchPtr& object) {
  if (!object) {
    return nullptr;
  }
  if (const auto* wrapper = dynamic_cast<const ComDispatch*>(object.get())) {
    return ComPtr<IDispatch>::retain(wrapper->comObject());
  }
  return AutomationObject::make<DispatchComObject>(object);
}

DispatchPtr coreObjectOf(IDispatch* object) {
  void* own = nullptr;
  if (object == nullptr || FAILED(object->QueryInterface(coreObjectIid(), &own)) ||
      own == nullptr) {
    return nullptr;
  }
  return static_cast<AutomationObject*>(own)->coreObject();
}

}  // namespace kvm::win32
