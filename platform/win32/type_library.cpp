#include "platform/win32/type_library.h"

#include <array>
#include <vector>

#include "base/runtime_error.h"
#include "host/interface.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/guids.h"
#include "platform/win32/standard_types.h"
#include "platform/win32/variant_conversion.h"

// The per-user forms are in the system library but not in the compiler's headers.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDirectory);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID library, WORD major, WORD minor, LCID locale,
                                        SYSKIND system);
}

namespace kvm::win32 {

namespace {

// The type descriptions of one parameter; AddFuncDesc copies them, they need not outlive it.
struct ParameterType {
  TYPEDESC element{};
  TYPEDESC value{};
  TYPEDESC reference{};

  const TYPEDESC& describe(const ParameterInfo& parameter) {
    value.vt = comTypeOf(parameter.type);
    if (parameter.isArray) {
      element.vt = value.vt;
      value.vt = VT_SAFEARRAY;
      value.lptdesc = &element;
    }
    if (!parameter.byReference) {
      return value;
    }
    reference.vt = VT_PTR;
    reference.lptdesc = &value;
    return reference;
  }
};

void addMember(ICreateTypeInfo& info, UINT index, const MemberInfo& member) {
  const std::size_t count = member.parameters.size();
  std::vector<ParameterType> types(count);
  std::vector<ELEMDESC> parameters(count);
  std::vector<std::u16string> names{std::u16string(member.name)};
  for (std::size_t i = 0; i < count; ++i) {
    const ParameterInfo& parameter = member.parameters[i];
    parameters[i] = ELEMDESC{};
    parameters[i].tdesc = types[i].describe(parameter);
    parameters[i].paramdesc.wParamFlags =
        static_cast<USHORT>(PARAMFLAG_FIN | (parameter.byReference ? PARAMFLAG_FOUT : 0));
    names.emplace_back(parameter.name);
  }
  FUNCDESC function{};
  function.memid = static_cast<MEMBERID>(index) + 1;
  function.funckind = FUNC_DISPATCH;
  function.invkind = member.kind == MemberKind::ReadOnlyProperty ? INVOKE_PROPERTYGET : INVOKE_FUNC;
  function.callconv = CC_STDCALL;
  function.cParams = static_cast<SHORT>(count);
  function.lprgelemdescParam = parameters.empty() ? nullptr : parameters.data();
  function.elemdescFunc.tdesc.vt = comTypeOf(member.resultType);
  check(info.AddFuncDesc(index, &function));

  std::vector<LPOLESTR> namePointers;
  namePointers.reserve(names.size());
  for (auto& name : names) {
    namePointers.push_back(const_cast<LPOLESTR>(wide(name)));
  }
  check(info.SetFuncAndParamNames(index, namePointers.data(),
                                  static_cast<UINT>(namePointers.size())));
}

ComPtr<ICreateTypeInfo> createType(ICreateTypeLib2& library, const wchar_t* name, TYPEKIND kind) {
  ComPtr<ICreateTypeInfo> info;
  check(library.CreateTypeInfo(const_cast<LPOLESTR>(name), kind, info.put()));
  return info;
}

}  // namespace

ComPtr<ICreateTypeLib2> buildTypeLibrary(const std::filesystem::path& file) {
  ComPtr<ICreateTypeLib2> library;
  check(CreateTypeLib2(SYS_WIN64, file.c_str(), library.put()));
  check(library->SetGuid(kLibidKavelmor));
  check(library->SetName(const_cast<LPOLESTR>(kLibraryName)));
  check(library->SetVersion(kVersionMajor, kVersionMinor));
  check(library->SetLcid(LOCALE_NEUTRAL));

  auto dispatchInterface = createType(*library.get(), kInterfaceName, TKIND_DISPATCH);
  check(dispatchInterface->SetGuid(kIidClsKavelmor));
  check(dispatchInterface->SetTypeFlags(TYPEFLAG_FHIDDEN | TYPEFLAG_FDISPATCHABLE |
                                        TYPEFLAG_FNONEXTENSIBLE));
  check(dispatchInterface->SetVersion(kVersionMajor, kVersionMinor));
  HREFTYPE base = 0;
  check(dispatchInterface->AddRefTypeInfo(dispatchBaseType().get(), &base));
  check(dispatchInterface->AddImplType(0, base));
  const auto members = clsKavelmorMembers();
  for (std::size_t i = 0; i < members.size(); ++i) {
    addMember(*dispatchInterface.get(), static_cast<UINT>(i), members[i]);
  }
  check(dispatchInterface->LayOut());

  auto coclass = createType(*library.get(), kClassName, TKIND_COCLASS);
  check(coclass->SetGuid(kClsidClsKavelmor));
  check(coclass->SetTypeFlags(TYPEFLAG_FCANCREATE));
  check(coclass->SetVersion(kVersionMajor, kVersionMinor));
  const auto interfaceInfo = dispatchInterface.query<ITypeInfo>();
  if (!interfaceInfo) {
    raise(err::kInvalidCall);
  }
  HREFTYPE implemented = 0;
  check(coclass->AddRefTypeInfo(interfaceInfo.get(), &implemented));
  check(coclass->AddImplType(0, implemented));
  check(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT));
  check(coclass->LayOut());
  return library;
}

ComPtr<ITypeInfo> buildInterfaceTypeInfo() {
  // Never saved: the name only has to be a valid file name.
  const auto library = buildTypeLibrary(L"Kavelmor.tlb").query<ITypeLib>();
  if (!library) {
    raise(err::kInvalidCall);
  }
  ComPtr<ITypeInfo> info;
  check(library->GetTypeInfoOfGuid(kIidClsKavelmor, info.put()));
  return info;
}

void saveAndRegisterTypeLibrary(const std::filesystem::path& file) {
  check(buildTypeLibrary(file)->SaveAllChanges());
  ComPtr<ITypeLib> saved;
  check(LoadTypeLibEx(file.c_str(), REGKIND_NONE, saved.put()));
  std::wstring path = file.wstring();
  if (FAILED(RegisterTypeLib(saved.get(), path.data(), nullptr))) {
    check(RegisterTypeLibForUser(saved.get(), path.data(), nullptr));
  }
}

void unregisterTypeLibrary() {
  // Whichever of the two forms exists goes; neither existing is no failure.
  UnRegisterTypeLib(kLibidKavelmor, kVersionMajor, kVersionMinor, LOCALE_NEUTRAL, SYS_WIN64);
  UnRegisterTypeLibForUser(kLibidKavelmor, kVersionMajor, kVersionMinor, LOCALE_NEUTRAL, SYS_WIN64);
}

}  // namespace kvm::win32
