#include "tests/win32/typelib_host/host_type_library.h"

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/automation_error.h"
#include "platform/win32/standard_types.h"

namespace kvm::win32::testing {

namespace {

enum class Kind : uint8_t { Method, Get, Put };

// A parameter's type; `out` parameters are pointers to it.
struct Parameter {
  const wchar_t* name;
  VARTYPE type;
  bool out = false;
};

struct Member {
  const wchar_t* name;
  Kind kind;
  MEMBERID id;
  std::vector<Parameter> parameters;
  VARTYPE result = VT_EMPTY;  // the [out, retval] parameter's type; VT_EMPTY for none
  bool varargs = false;       // the last parameter takes the remaining arguments
};

struct Interface {
  const wchar_t* name;
  IID iid;
  std::vector<Member> members;
};

constexpr VARTYPE kObject = VT_DISPATCH;

// {6A1D8E20-5C3B-4F7A-9E41-2B7D0C9A5F10} and on, one per interface.
constexpr IID interfaceId(unsigned short index) {
  return {0x6a1d8e20,
          0x5c3b,
          static_cast<unsigned short>(0x4f7a + index),
          {0x9e, 0x41, 0x2b, 0x7d, 0x0c, 0x9a, 0x5f, 0x10}};
}

const std::vector<Interface>& hostInterfaces() {
  static const std::vector<Interface> interfaces{
      {L"IHostApplication",
       interfaceId(0),
       {{L"ActiveDocument", Kind::Get, 1, {}, kObject},
        {L"Documents", Kind::Get, 2, {}, kObject},
        {L"Version", Kind::Get, 3, {}, VT_BSTR},
        {L"GetInterfaceObject", Kind::Method, 4, {{L"ProgID", VT_BSTR}}, kObject},
        {L"HWND", Kind::Get, 5, {}, VT_I4}}},
      {L"IHostDocuments",
       interfaceId(1),
       {{L"Count", Kind::Get, 1, {}, VT_I4},
        {L"Item", Kind::Method, DISPID_VALUE, {{L"Index", VT_VARIANT}}, kObject}}},
      {L"IHostDocument",
       interfaceId(2),
       {{L"ModelSpace", Kind::Get, 1, {}, kObject},
        {L"GetVariable", Kind::Method, 2, {{L"Name", VT_BSTR}}, VT_VARIANT},
        {L"SetVariable", Kind::Method, 3, {{L"Name", VT_BSTR}, {L"Value", VT_VARIANT}}},
        {L"Name", Kind::Get, 4, {}, VT_BSTR}}},
      {L"IHostModelSpace",
       interfaceId(3),
       {{L"AddText",
         Kind::Method,
         1,
         {{L"TextString", VT_BSTR}, {L"InsertionPoint", VT_VARIANT}, {L"Height", VT_R8}},
         kObject}}},
      {L"IHostText",
       interfaceId(4),
       {{L"Alignment", Kind::Put, 1, {{L"Value", VT_I4}}},
        {L"TextAlignmentPoint", Kind::Put, 2, {{L"Value", VT_VARIANT}}},
        {L"StyleName", Kind::Put, 3, {{L"Value", VT_BSTR}}},
        {L"Layer", Kind::Put, 4, {{L"Value", VT_BSTR}}},
        {L"ScaleFactor", Kind::Put, 5, {{L"Value", VT_R8}}},
        {L"color", Kind::Put, 6, {{L"Value", VT_I4}}},
        {L"Linetype", Kind::Put, 7, {{L"Value", VT_BSTR}}},
        {L"LinetypeScale", Kind::Put, 8, {{L"Value", VT_R8}}},
        {L"Lineweight", Kind::Put, 9, {{L"Value", VT_I4}}},
        {L"GetBoundingBox",
         Kind::Method,
         10,
         {{L"MinPoint", VT_VARIANT, true}, {L"MaxPoint", VT_VARIANT, true}}}}},
      {L"IVlApplication", interfaceId(5), {{L"ActiveDocument", Kind::Get, 1, {}, kObject}}},
      {L"IVlDocument", interfaceId(6), {{L"Functions", Kind::Get, 1, {}, kObject}}},
      {L"IVlFunctions",
       interfaceId(7),
       {{L"Item", Kind::Method, DISPID_VALUE, {{L"Index", VT_VARIANT}}, kObject}}},
      {L"IVlFunction",
       interfaceId(8),
       {{L"funcall", Kind::Method, 1, {{L"Arguments", VT_SAFEARRAY}}, VT_VARIANT, true}}},
  };
  return interfaces;
}

// The type descriptions of one parameter; AddFuncDesc copies them.
struct ParameterType {
  TYPEDESC inner{};
  TYPEDESC outer{};

  const TYPEDESC& describe(VARTYPE type, bool pointer) {
    inner.vt = type;
    if (type == VT_SAFEARRAY) {
      element.vt = VT_VARIANT;
      inner.lptdesc = &element;
    }
    if (!pointer) {
      return inner;
    }
    outer.vt = VT_PTR;
    outer.lptdesc = &inner;
    return outer;
  }

  TYPEDESC element{};
};

INVOKEKIND invokeKind(Kind kind) {
  switch (kind) {
    case Kind::Method: return INVOKE_FUNC;
    case Kind::Get: return INVOKE_PROPERTYGET;
    case Kind::Put: return INVOKE_PROPERTYPUT;
  }
  return INVOKE_FUNC;
}

void addMember(ICreateTypeInfo& info, UINT index, const Member& member) {
  const bool retval = member.result != VT_EMPTY;
  const std::size_t count = member.parameters.size() + (retval ? 1 : 0);
  std::vector<ParameterType> types(count);
  std::vector<ELEMDESC> parameters(count);
  std::vector<std::wstring> names{member.name};
  for (std::size_t i = 0; i < member.parameters.size(); ++i) {
    const Parameter& parameter = member.parameters[i];
    parameters[i] = ELEMDESC{};
    parameters[i].tdesc = types[i].describe(parameter.type, parameter.out);
    parameters[i].paramdesc.wParamFlags = parameter.out ? PARAMFLAG_FOUT : PARAMFLAG_FIN;
    // A property put's value has no name of its own.
    if (member.kind != Kind::Put) {
      names.emplace_back(parameter.name);
    }
  }
  if (retval) {
    ELEMDESC& result = parameters.back();
    result = ELEMDESC{};
    result.tdesc = types.back().describe(member.result, true);
    result.paramdesc.wParamFlags = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
    names.emplace_back(L"Result");
  }
  FUNCDESC function{};
  function.memid = member.id;
  function.funckind = FUNC_PUREVIRTUAL;
  function.invkind = invokeKind(member.kind);
  function.callconv = CC_STDCALL;
  function.cParams = static_cast<SHORT>(count);
  function.cParamsOpt = member.varargs ? -1 : 0;
  function.lprgelemdescParam = parameters.data();
  function.elemdescFunc.tdesc.vt = VT_HRESULT;
  check(info.AddFuncDesc(index, &function));

  std::vector<LPOLESTR> namePointers;
  for (auto& name : names) {
    namePointers.push_back(name.data());
  }
  check(info.SetFuncAndParamNames(index, namePointers.data(),
                                  static_cast<UINT>(namePointers.size())));
}

}  // namespace

HostTypeLibrary::HostTypeLibrary() {
  // Nothing is written to this file: the library is only used in memory.
  const auto file = std::filesystem::temp_directory_path() / L"kvm-cad-host.tlb";
  check(CreateTypeLib2(SYS_WIN64, file.c_str(), library_.put()));
  // {6A1D8E1F-5C3B-4F7A-9E41-2B7D0C9A5F10}
  const GUID libraryId = {
      0x6a1d8e1f, 0x5c3b, 0x4f7a, {0x9e, 0x41, 0x2b, 0x7d, 0x0c, 0x9a, 0x5f, 0x10}};
  check(library_->SetGuid(libraryId));
  std::wstring name = L"KvmCadHost";
  check(library_->SetName(name.data()));
  check(library_->SetLcid(LOCALE_NEUTRAL));
  const auto base = dispatchBaseType();

  const auto& interfaces = hostInterfaces();
  for (std::size_t i = 0; i < interfaces.size(); ++i) {
    const Interface& described = interfaces[i];
    std::wstring typeName = described.name;
    ComPtr<ICreateTypeInfo> created;
    check(library_->CreateTypeInfo(typeName.data(), TKIND_INTERFACE, created.put()));
    check(created->SetGuid(described.iid));
    check(created->SetTypeFlags(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION));
    HREFTYPE reference = 0;
    check(created->AddRefTypeInfo(base.get(), &reference));
    check(created->AddImplType(0, reference));
    for (std::size_t m = 0; m < described.members.size(); ++m) {
      addMember(*created.get(), static_cast<UINT>(m), described.members[m]);
    }
    check(created->LayOut());
    infos_.at(i) = created.query<ITypeInfo>();
  }
}

const IID& HostTypeLibrary::iid(HostInterface which) const {
  return hostInterfaces().at(static_cast<std::size_t>(which)).iid;
}

}  // namespace kvm::win32::testing
