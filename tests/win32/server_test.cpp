// Drives a server DLL through COM as a host does: registration, creation by ProgID, the type
// information, reference counting and Invoke. Run with --server=NAME (a DLL beside this
// program); the members whose behaviour is the component's own are checked against the stub
// server only (KavelmorTestServer.dll).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "base/text.h"
#include "host/interface.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_client.h"
#include "platform/win32/com_component.h"
#include "platform/win32/com_variant.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/dispatch_com_object.h"
#include "platform/win32/guids.h"
#include "platform/win32/registration.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/variant_conversion.h"

namespace kvm::win32 {
namespace {

std::wstring gServerName = L"KavelmorTestServer.dll";

std::filesystem::path besideThisProgram(const std::wstring& name) {
  std::vector<wchar_t> buffer(32768, L'\0');
  GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::filesystem::path(buffer.data()).parent_path() / name;
}

bool isStub() {
  return gServerName == L"KavelmorTestServer.dll";
}

// The server DLL, loaded once for its exports.
InProcessServer& server() {
  static InProcessServer loaded(besideThisProgram(gServerName));
  return loaded;
}

std::optional<std::wstring> classValue(HKEY root, const std::wstring& path,
                                       const wchar_t* name = nullptr) {
  RegistryKey key;
  if (RegistryKey::open(root, std::wstring(kClassesPath) + L"\\" + path, KEY_READ, key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return key.queryString(name);
}

std::wstring classKey() {
  return L"CLSID\\" + guidText(kClsidClsKavelmor);
}

bool samePath(const std::wstring& a, const std::filesystem::path& b) {
  return equalsIgnoringAsciiCase(fromWide(a.c_str()), fromWide(b.wstring().c_str()));
}

// A desktop that records message boxes and answers Yes.
class RecordingDesktop final : public Ui {
 public:
  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& /*title*/,
                       MsgIcon /*icon*/, MsgButtons /*buttons*/) override {
    boxes.emplace_back(text);
    return MsgAnswer::Yes;
  }
  bool shiftDown() override { return shift; }
  bool topLevelWindowAfter(std::intptr_t /*after*/, std::u16string_view /*title*/) override {
    return false;
  }
  CalendarDate today() override { return {2016, 3, 2}; }

  std::vector<std::u16string> boxes;
  bool shift = true;
};

class ServerTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { server().registerServer(); }
  static void TearDownTestSuite() { server().unregisterServer(); }

  void SetUp() override {
    desktop_ = std::make_shared<RecordingDesktop>();
    server().installDesktop(desktop_);
  }
  void TearDown() override {
    server().installDesktop(nullptr);
    EXPECT_TRUE(desktop_->boxes.empty()) << toUtf8(desktop_->boxes.front());
  }

  static ComPtr<IDispatch> create() {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    ComPtr<IDispatch> object;
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid()),
        S_OK);
    return object;
  }

  std::shared_ptr<RecordingDesktop> desktop_;
};

// Invoke by name with arguments in declaration order; contents stay the caller's.
HRESULT invoke(IDispatch& object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
               ComVariant& result, EXCEPINFO& exception) {
  std::wstring member = name;
  LPOLESTR names[] = {member.data()};
  DISPID id = 0;
  const HRESULT found = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(found)) {
    return found;
  }
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  exception = EXCEPINFO{};
  return object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result.get(),
                       &exception, nullptr);
}

VARIANT byValue(const ComVariant& value) {
  return value.get();
}

VARIANT byReference(ComVariant& value) {
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_VARIANT;
  reference.pvarVal = &value.get();
  return reference;
}

struct ErrorInfo {
  HRESULT scode;
  std::u16string description;
  std::u16string source;
};

ErrorInfo take(EXCEPINFO& exception) {
  ErrorInfo info{exception.scode, fromBstr(exception.bstrDescription),
                 fromBstr(exception.bstrSource)};
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
  exception = EXCEPINFO{};
  return info;
}

TEST_F(ServerTest, registration_writes_and_removes_its_keys) {
  // Under wine the machine-wide form is the one written (and the only one that resolves).
  const HKEY machine = HKEY_LOCAL_MACHINE;
  EXPECT_EQ(classValue(machine, kProgId + std::wstring(L"\\CLSID")), guidText(kClsidClsKavelmor));
  const auto server32 = classValue(machine, classKey() + L"\\InprocServer32");
  ASSERT_TRUE(server32.has_value());
  EXPECT_TRUE(samePath(*server32, server().path()));
  EXPECT_EQ(classValue(machine, classKey() + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(classValue(machine, classKey() + L"\\ProgID"), kProgId);
  EXPECT_TRUE(
      std::filesystem::exists(std::filesystem::path(server().path()).replace_extension(L".tlb")));

  // The ProgID resolves to the class, and the class to this DLL.
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, kClsidClsKavelmor));
  ComPtr<ITypeLib> registered;
  EXPECT_EQ(LoadRegTypeLib(kLibidKavelmor, kVersionMajor, kVersionMinor, 0, registered.put()),
            S_OK);

  server().unregisterServer();
  EXPECT_FALSE(classValue(machine, kProgId).has_value());
  EXPECT_FALSE(classValue(machine, classKey()).has_value());
  EXPECT_FALSE(classValue(HKEY_CURRENT_USER, classKey()).has_value());
  EXPECT_NE(CLSIDFromProgID(kProgId, &clsid), S_OK);
  EXPECT_FALSE(
      std::filesystem::exists(std::filesystem::path(server().path()).replace_extension(L".tlb")));

  // The per-user form, for users who may not write the machine-wide keys.
  const auto library = std::filesystem::temp_directory_path() / L"KavelmorUser.tlb";
  registerServer(server().path(), library, RegistrationScope::PerUser);
  const auto userServer32 = classValue(HKEY_CURRENT_USER, classKey() + L"\\InprocServer32");
  ASSERT_TRUE(userServer32.has_value());
  EXPECT_TRUE(samePath(*userServer32, server().path()));
  EXPECT_EQ(classValue(HKEY_CURRENT_USER, kProgId + std::wstring(L"\\CLSID")),
            guidText(kClsidClsKavelmor));
  EXPECT_FALSE(classValue(machine, classKey()).has_value());
  unregisterServer(library);
  EXPECT_FALSE(classValue(HKEY_CURRENT_USER, classKey()).has_value());
  EXPECT_FALSE(classValue(HKEY_CURRENT_USER, kProgId).has_value());

  server().registerServer();
}

// The names of a member's function and parameters as the type information gives them.
std::vector<std::u16string> namesOf(ITypeInfo& info, MEMBERID id) {
  std::vector<BSTR> names(32, nullptr);
  UINT count = 0;
  EXPECT_EQ(info.GetNames(id, names.data(), static_cast<UINT>(names.size()), &count), S_OK);
  std::vector<std::u16string> result;
  for (UINT i = 0; i < count; ++i) {
    result.push_back(fromBstr(names[i]));
    SysFreeString(names[i]);
  }
  return result;
}

void expectInterfaceListing(ITypeInfo& info) {
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info.GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(IsEqualIID(attributes->guid, kIidClsKavelmor));
  // A dispatch interface lists IDispatch's own seven methods first, marked restricted so
  // that hosts do not show them; the component's members follow.
  const UINT functions = attributes->cFuncs;
  info.ReleaseTypeAttr(attributes);
  std::vector<FUNCDESC*> own;
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* function = nullptr;
    ASSERT_EQ(info.GetFuncDesc(i, &function), S_OK);
    if ((function->wFuncFlags & FUNCFLAG_FRESTRICTED) != 0) {
      info.ReleaseFuncDesc(function);
    } else {
      own.push_back(function);
    }
  }
  const auto members = clsKavelmorMembers();
  ASSERT_EQ(own.size(), members.size());
  ASSERT_EQ(own.size(), 17U);
  for (std::size_t i = 0; i < own.size(); ++i) {
    FUNCDESC* function = own[i];
    const MemberInfo& member = members[i];
    EXPECT_EQ(function->memid, static_cast<MEMBERID>(i + 1));
    EXPECT_EQ(function->invkind,
              member.kind == MemberKind::ReadOnlyProperty ? INVOKE_PROPERTYGET : INVOKE_FUNC);
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, comTypeOf(member.resultType));
    ASSERT_EQ(static_cast<std::size_t>(function->cParams), member.parameters.size());
    for (std::size_t p = 0; p < member.parameters.size(); ++p) {
      const TYPEDESC* type = &function->lprgelemdescParam[p].tdesc;
      if (member.parameters[p].byReference) {
        ASSERT_EQ(type->vt, VT_PTR);
        type = type->lptdesc;
      }
      if (member.parameters[p].isArray) {
        ASSERT_EQ(type->vt, VT_SAFEARRAY);
        type = type->lptdesc;
      }
      EXPECT_EQ(type->vt, comTypeOf(member.parameters[p].type)) << toUtf8(member.name);
    }
    const MEMBERID id = function->memid;
    info.ReleaseFuncDesc(function);

    std::vector<std::u16string> expected{std::u16string(member.name)};
    for (const auto& parameter : member.parameters) {
      expected.emplace_back(parameter.name);
    }
    EXPECT_EQ(namesOf(info, id), expected);
  }
  // Spot checks against the published order, independent of the member table.
  EXPECT_EQ(namesOf(info, 1).front(), u"WSJM");
  EXPECT_EQ(namesOf(info, 7),
            (std::vector<std::u16string>{u"kvmset", u"AObj", u"s", u"pDing", u"lstLen", u"lstAg",
                                         u"lstdim", u"lstxt"}));
  EXPECT_EQ(namesOf(info, 13), std::vector<std::u16string>{u"dh2fg"});
  EXPECT_EQ(namesOf(info, 16), (std::vector<std::u16string>{u"mlfs2ed", u"s"}));
  EXPECT_EQ(namesOf(info, 17), (std::vector<std::u16string>{u"CadTB", u"AObj"}));
}

TEST_F(ServerTest, type_information_lists_the_members_in_interface_order) {
  auto object = create();
  ASSERT_TRUE(object);
  UINT count = 0;
  ASSERT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1U);
  ComPtr<ITypeInfo> live;
  ASSERT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, live.put()), S_OK);
  expectInterfaceListing(*live.get());

  // The same through the library registered beside the DLL, with its creatable class.
  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(kLibidKavelmor, kVersionMajor, kVersionMinor, 0, library.put()), S_OK);
  ComPtr<ITypeInfo> saved;
  ASSERT_EQ(library->GetTypeInfoOfGuid(kIidClsKavelmor, saved.put()), S_OK);
  expectInterfaceListing(*saved.get());
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(library->GetTypeInfoOfGuid(kClsidClsKavelmor, coclass.put()), S_OK);
  BSTR name = nullptr;
  ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(fromBstr(name), u"clsKavelmor");
  SysFreeString(name);
}

TEST_F(ServerTest, names_resolve_case_insensitively_to_stable_ids) {
  auto object = create();
  ASSERT_TRUE(object);
  const auto idOf = [&](std::wstring name) {
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    const HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return result == S_OK ? id : DISPID_UNKNOWN;
  };
  EXPECT_EQ(idOf(L"WSJM"), 1);
  EXPECT_EQ(idOf(L"MZBJ0"), 2);
  EXPECT_EQ(idOf(L"kvmSet"), 7);
  EXPECT_EQ(idOf(L"cadtb"), 17);
  EXPECT_EQ(idOf(L"Nothing"), DISPID_UNKNOWN);
}

TEST_F(ServerTest, creating_and_releasing_a_thousand_times_leaves_nothing_alive) {
  for (int i = 0; i < 1000; ++i) {
    auto object = create();
    ASSERT_TRUE(object);
    ASSERT_EQ(server().canUnloadNow(), false);
  }
  EXPECT_EQ(server().canUnloadNow(), true);

  // A lock on the class keeps the server, as does the class object itself.
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(kClsidClsKavelmor, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory.putVoid()),
            S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(server().canUnloadNow(), false);
  ASSERT_EQ(CoGetClassObject(kClsidClsKavelmor, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             factory.putVoid()),
            S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(server().canUnloadNow(), true);
}

TEST_F(ServerTest, the_version_property_reads_as_a_string) {
  auto object = create();
  ASSERT_TRUE(object);
  ComVariant result;
  EXCEPINFO exception{};
  ASSERT_EQ(invoke(*object.get(), L"dh2fg", DISPATCH_PROPERTYGET, {}, result, exception), S_OK);
  ASSERT_EQ(result.get().vt, VT_BSTR);
  EXPECT_EQ(fromBstr(result.get().bstrVal), u"1.2");
  EXPECT_EQ(invoke(*object.get(), L"dh2fg", DISPATCH_PROPERTYPUT, {}, result, exception),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(ServerTest, a_program_uses_the_component_by_progid_as_a_late_bound_object) {
  const DispatchPtr component = createObject(u"Kavelmor.clsKavelmor");
  EXPECT_EQ(component->typeName(), u"clsKavelmor");
  EXPECT_EQ(get(component, u"DH2FG"), Variant(u"1.2"));
  const RuntimeError missing = [&] {
    try {
      call(component, u"NoSuchMember");
    } catch (const RuntimeError& error) {
      return error;
    }
    return RuntimeError(0, u"");
  }();
  EXPECT_EQ(missing.number(), err::kMemberNotFound);
  EXPECT_FALSE(server().canUnloadNow());
}

TEST_F(ServerTest, a_component_factory_makes_the_component_through_com) {
  auto process = std::make_shared<ProcessContext>();
  process->ui = desktop_;
  process->programDirectoryRoot = std::filesystem::temp_directory_path();
  const ComponentFactory factory = comComponentFactory(server().path());
  const DispatchPtr component = factory(process);
  EXPECT_EQ(get(component, u"dh2fg"), Variant(u"1.2"));
  desktop_->shift = true;
  EXPECT_EQ(call(component, u"sanxia"), Variant(int16_t{1}));
}

TEST_F(ServerTest, the_installed_desktop_answers_the_shift_state) {
  auto object = create();
  ASSERT_TRUE(object);
  ComVariant result;
  EXCEPINFO exception{};
  ASSERT_EQ(invoke(*object.get(), L"sanxia", DISPATCH_METHOD, {}, result, exception), S_OK);
  ASSERT_EQ(result.get().vt, VT_I2);
  EXPECT_EQ(result.get().iVal, 1);
  desktop_->shift = false;
  ASSERT_EQ(invoke(*object.get(), L"sanxia", DISPATCH_METHOD, {}, result, exception), S_OK);
  EXPECT_EQ(result.get().iVal, 0);
}

TEST_F(ServerTest, argument_count_errors_reach_the_host_with_their_numbers) {
  auto object = create();
  ASSERT_TRUE(object);
  ComVariant result;
  EXCEPINFO exception{};
  const ComVariant number = toComVariant(Variant(int16_t{1}));
  ASSERT_EQ(invoke(*object.get(), L"qp1", DISPATCH_METHOD, {}, result, exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(take(exception).scode, static_cast<HRESULT>(0x800A01C1));  // 449
  ASSERT_EQ(invoke(*object.get(), L"qp1", DISPATCH_METHOD, {byValue(number), byValue(number)},
                   result, exception),
            DISP_E_EXCEPTION);
  const ErrorInfo extra = take(exception);
  EXPECT_EQ(extra.scode, static_cast<HRESULT>(0x800A01C2));  // 450
  EXPECT_EQ(extra.description, u"Wrong number of arguments or invalid property assignment");
  EXPECT_EQ(extra.source, u"Kavelmor");
}

// Just enough of a CAD host for the start-up and the end of the real component: documents
// with system variables, and a LISP whose read gives back the text and whose eval records it.
class FakeHost final : public Dispatch {
 public:
  FakeHost() : document_(std::make_shared<Document>()), lisp_(std::make_shared<Lisp>()) {}

  Variant invoke(std::u16string_view name, InvokeKind /*kind*/,
                 std::vector<Variant>& args) override {
    if (equalsIgnoringAsciiCase(name, u"ActiveDocument")) {
      return Variant(DispatchPtr(document_));
    }
    if (equalsIgnoringAsciiCase(name, u"Version")) {
      return Variant(u"16.2s (LMS Tech)");
    }
    if (equalsIgnoringAsciiCase(name, u"GetInterfaceObject")) {
      requested = toString(args.at(0));
      return Variant(DispatchPtr(lisp_));
    }
    raise(err::kMemberNotFound);
  }
  [[nodiscard]] std::u16string typeName() const override { return u"Application"; }

  struct Document final : Dispatch {
    Variant invoke(std::u16string_view name, InvokeKind /*kind*/,
                   std::vector<Variant>& args) override {
      if (equalsIgnoringAsciiCase(name, u"ModelSpace")) {
        return Variant(DispatchPtr(std::make_shared<Document>()));
      }
      if (equalsIgnoringAsciiCase(name, u"GetVariable")) {
        return Variant(variables[asciiUpper(toString(args.at(0)))]);
      }
      if (equalsIgnoringAsciiCase(name, u"SetVariable")) {
        variables[asciiUpper(toString(args.at(0)))] = toString(args.at(1));
        return {};
      }
      raise(err::kMemberNotFound);
    }
    [[nodiscard]] std::u16string typeName() const override { return u"Document"; }
    std::map<std::u16string, std::u16string> variables;
  };

  // The VL application, its document and Functions collection, and the functions, in one.
  struct Lisp final : Dispatch {
    Variant invoke(std::u16string_view name, InvokeKind /*kind*/,
                   std::vector<Variant>& args) override {
      if (equalsIgnoringAsciiCase(name, u"ActiveDocument") ||
          equalsIgnoringAsciiCase(name, u"Functions")) {
        return Variant(DispatchPtr(self.lock()));
      }
      if (equalsIgnoringAsciiCase(name, u"Item")) {
        current = toString(args.at(0));
        return Variant(DispatchPtr(self.lock()));
      }
      if (equalsIgnoringAsciiCase(name, u"funcall")) {
        if (current == u"eval") {
          evaluated.push_back(toString(args.at(0)));
        }
        return args.at(0);
      }
      raise(err::kMemberNotFound);
    }
    [[nodiscard]] std::u16string typeName() const override { return u"Functions"; }
    std::weak_ptr<Dispatch> self;
    std::u16string current;
    std::vector<std::u16string> evaluated;
  };

  std::shared_ptr<Document> document_;
  std::shared_ptr<Lisp> lisp_;
  std::u16string requested;
};

TEST_F(ServerTest, the_end_of_the_object_restores_the_borrowed_system_variables) {
  if (isStub()) {
    GTEST_SKIP() << "the real component's start-up and end";
  }
  auto host = std::make_shared<FakeHost>();
  host->lisp_->self = host->lisp_;
  host->document_->variables[u"USERS1"] = u"before 1";
  host->document_->variables[u"USERS2"] = u"before 2";
  {
    auto object = create();
    ASSERT_TRUE(object);
    const ComVariant application = toComVariant(Variant(DispatchPtr(host)));
    const ComVariant an = toComVariant(Variant(int32_t{0}));
    const ComVariant llw = toComVariant(Variant(0.0));
    ComVariant result;
    EXCEPINFO exception{};
    ASSERT_EQ(invoke(*object.get(), L"dycjmw", DISPATCH_METHOD,
                     {byValue(application), byValue(an), byValue(llw)}, result, exception),
              S_OK);
    EXPECT_EQ(result.get().vt, VT_BSTR);
    EXPECT_EQ(host->requested, u"VL.Application.16");
    EXPECT_EQ(host->document_->variables[u"USERS1"], u"\"(lstdang gong jkdag)\"");
    host->document_->variables[u"USERS1"] = u"changed by the user";
  }
  EXPECT_EQ(server().canUnloadNow(), true);
  EXPECT_EQ(host->document_->variables[u"USERS1"], u"before 1");
  EXPECT_EQ(host->document_->variables[u"USERS2"], u"before 2");
  ASSERT_FALSE(host->lisp_->evaluated.empty());
  EXPECT_EQ(host->lisp_->evaluated.back(),
            u"(progn(vl-doc-set'il nil)(vl-doc-set'jl nil)(vl-doc-set'kl nil))");
}

TEST_F(ServerTest, by_reference_arrays_come_back_to_the_caller) {
  if (!isStub()) {
    GTEST_SKIP() << "the stub server's own members";
  }
  auto object = create();
  ASSERT_TRUE(object);
  const ComVariant application = toComVariant(Variant(desktopAsDispatch(desktop_)));
  const ComVariant text = toComVariant(Variant(u"ABC"));
  ComVariant ding;
  ComVariant dims;
  ComVariant texts;
  // As a compiled caller passes its typed array variables: by reference, exact types.
  ComVariant lengths = toComVariant(Variant::array(VarType::Integer, {int16_t{1}, int16_t{-2}}));
  SAFEARRAY* lengthArray = lengths.get().parray;
  VARIANT lengthsRef;
  VariantInit(&lengthsRef);
  lengthsRef.vt = VT_BYREF | VT_ARRAY | VT_I2;
  lengthsRef.pparray = &lengthArray;
  SAFEARRAY* angleArray = nullptr;  // not yet allocated
  VARIANT anglesRef;
  VariantInit(&anglesRef);
  anglesRef.vt = VT_BYREF | VT_ARRAY | VT_R8;
  anglesRef.pparray = &angleArray;
  lengths.detach();  // lengthArray is replaced by the call; it owns the array now

  ComVariant result;
  EXCEPINFO exception{};
  ASSERT_EQ(invoke(*object.get(), L"kvmset", DISPATCH_METHOD,
                   {byValue(application), byValue(text), byReference(ding), lengthsRef, anglesRef,
                    byReference(dims), byReference(texts)},
                   result, exception),
            S_OK);
  SafeArray lengthOwner(lengthArray);
  SafeArray angleOwner(angleArray);
  ASSERT_EQ(result.get().vt, VT_BSTR);
  EXPECT_EQ(fromBstr(result.get().bstrVal), u"cABC");
  EXPECT_EQ(fromComVariant(lengthsRef),
            Variant::array(VarType::Integer, {int16_t{2}, int16_t{-4}}));
  EXPECT_EQ(fromComVariant(anglesRef), Variant::array(VarType::Double, {0.5}));
  EXPECT_EQ(fromComVariant(ding.get()), Variant(u"done"));

  // As a late-bound caller passes them: Variants holding arrays of Variants.
  ComVariant looseLengths = toComVariant(Variant::array(VarType::Variant, {int32_t{7}, 8.0}));
  ComVariant looseAngles = toComVariant(Variant::array(VarType::Variant, {int32_t{1}}));
  ASSERT_EQ(
      invoke(*object.get(), L"kvmset", DISPATCH_METHOD,
             {byValue(application), byValue(text), byReference(ding), byReference(looseLengths),
              byReference(looseAngles), byReference(dims), byReference(texts)},
             result, exception),
      S_OK);
  EXPECT_EQ(looseLengths.get().vt, VT_ARRAY | VT_I2);
  EXPECT_EQ(fromComVariant(looseLengths.get()),
            Variant::array(VarType::Integer, {int16_t{14}, int16_t{16}}));
  EXPECT_EQ(fromComVariant(looseAngles.get()), Variant::array(VarType::Double, {1.0, 0.5}));

  // An element that does not convert stops the call before it runs.
  ComVariant badLengths = toComVariant(Variant::array(VarType::Variant, {u"x"}));
  ASSERT_EQ(invoke(*object.get(), L"kvmset", DISPATCH_METHOD,
                   {byValue(application), byValue(text), byReference(ding), byReference(badLengths),
                    byReference(looseAngles), byReference(dims), byReference(texts)},
                   result, exception),
            DISP_E_EXCEPTION);
  const ErrorInfo mismatch = take(exception);
  EXPECT_EQ(mismatch.scode, static_cast<HRESULT>(0x800A000D));
  EXPECT_EQ(mismatch.description, u"Type mismatch");
  EXPECT_EQ(fromComVariant(badLengths.get()), Variant::array(VarType::Variant, {u"x"}));
}

TEST_F(ServerTest, a_by_reference_string_comes_back_and_results_keep_declared_types) {
  if (!isStub()) {
    GTEST_SKIP() << "the stub server's own members";
  }
  auto object = create();
  ASSERT_TRUE(object);
  BSTR text = SysAllocString(L"(+ 1 2)");
  VARIANT textRef;
  VariantInit(&textRef);
  textRef.vt = VT_BYREF | VT_BSTR;
  textRef.pbstrVal = &text;
  ComVariant result;
  EXCEPINFO exception{};
  ASSERT_EQ(invoke(*object.get(), L"mlfs2ed", DISPATCH_METHOD, {textRef}, result, exception), S_OK);
  EXPECT_EQ(fromBstr(text), u"(+ 1 2)!");
  SysFreeString(text);
  ASSERT_EQ(result.get().vt, VT_I4);
  EXPECT_EQ(result.get().lVal, 7);

  // CadTB is declared Integer: the stub's Long comes back as one. Its argument is an object
  // of this program, called back from inside the server.
  class Counter final : public Dispatch {
   public:
    Variant invoke(std::u16string_view /*name*/, InvokeKind /*kind*/,
                   std::vector<Variant>& /*args*/) override {
      return Variant(int32_t{3});
    }
    [[nodiscard]] std::u16string typeName() const override { return u"Documents"; }
  };
  const ComVariant counter = toComVariant(Variant(DispatchPtr(std::make_shared<Counter>())));
  ASSERT_EQ(invoke(*object.get(), L"CadTB", DISPATCH_METHOD, {byValue(counter)}, result, exception),
            S_OK);
  ASSERT_EQ(result.get().vt, VT_I2);
  EXPECT_EQ(result.get().iVal, 3);
}

TEST_F(ServerTest, parameters_take_their_declared_types_or_fail_before_the_call) {
  if (!isStub()) {
    GTEST_SKIP() << "the stub server's own members";
  }
  auto object = create();
  ASSERT_TRUE(object);
  const ComVariant s = toComVariant(Variant(u"J"));
  const ComVariant point = toComVariant(Variant::doubles({1, 2, 0}));
  const ComVariant height = toComVariant(Variant(int32_t{300}));
  const ComVariant tooHigh = toComVariant(Variant(int32_t{70000}));
  const ComVariant id = toComVariant(Variant(u"5"));
  ComVariant result;
  EXCEPINFO exception{};
  ASSERT_EQ(invoke(*object.get(), L"WSJM", DISPATCH_METHOD,
                   {byValue(s), byValue(s), byValue(height), byValue(point), byValue(id)}, result,
                   exception),
            S_OK);
  EXPECT_EQ(fromComVariant(result.get()),
            Variant::array(VarType::Variant,
                           {u"J", u"J", int16_t{300}, Variant::doubles({1, 2, 0}), int16_t{5}}));

  // Converted by-value arguments leave the caller's variables as they were.
  ComVariant heightVariable = toComVariant(Variant(int32_t{300}));
  ASSERT_EQ(
      invoke(*object.get(), L"WSJM", DISPATCH_METHOD,
             {byValue(s), byValue(s), byReference(heightVariable), byValue(point), byValue(id)},
             result, exception),
      S_OK);
  EXPECT_EQ(heightVariable.get().vt, VT_I4);
  ASSERT_EQ(invoke(*object.get(), L"WSJM", DISPATCH_METHOD,
                   {byValue(s), byValue(s), byValue(tooHigh), byValue(point), byValue(id)}, result,
                   exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(take(exception).description, u"Overflow");
}

TEST_F(ServerTest, a_failure_reaches_the_host_as_an_exception_with_number_and_text) {
  if (!isStub()) {
    GTEST_SKIP() << "the stub server's own members";
  }
  auto object = create();
  ASSERT_TRUE(object);
  const ComVariant length = toComVariant(Variant(int32_t{5100}));
  const ComVariant scale = toComVariant(Variant(u"1:10"));
  ComVariant result;
  EXCEPINFO exception{};
  ASSERT_EQ(invoke(*object.get(), L"chkLen", DISPATCH_METHOD,
                   {byValue(length), byValue(length), byValue(scale)}, result, exception),
            DISP_E_EXCEPTION);
  const ErrorInfo failure = take(exception);
  EXPECT_EQ(failure.scode, static_cast<HRESULT>(0x800A0005));
  EXPECT_EQ(failure.description, u"stub failure 1:10");
  EXPECT_EQ(failure.source, u"Kavelmor");
}

TEST_F(ServerTest, by_reference_arguments_of_a_late_bound_call_come_back) {
  if (!isStub()) {
    GTEST_SKIP() << "the stub server's own members";
  }
  const DispatchPtr component = createObject(u"Kavelmor.clsKavelmor");
  std::vector<Variant> args{Variant(u"(+ 1 2)")};
  EXPECT_EQ(callByRef(component, u"mlfs2ed", args), Variant(int32_t{7}));
  EXPECT_EQ(args.front(), Variant(u"(+ 1 2)!"));

  std::vector<Variant> settings{Variant(desktopAsDispatch(desktop_)),
                                Variant(u"s"),
                                Variant(),
                                Variant::array(VarType::Variant, {int32_t{1}, int32_t{2}}),
                                Variant::unallocatedArray(VarType::Double),
                                Variant(),
                                Variant()};
  EXPECT_EQ(callByRef(component, u"kvmset", settings), Variant(u"cs"));
  EXPECT_EQ(settings[2], Variant(u"done"));
  EXPECT_EQ(settings[3], Variant::array(VarType::Integer, {int16_t{2}, int16_t{4}}));
  EXPECT_EQ(settings[4], Variant::array(VarType::Double, {0.5}));
}

TEST_F(ServerTest, message_boxes_go_to_the_installed_desktop) {
  if (!isStub()) {
    GTEST_SKIP() << "the stub server's own members";
  }
  auto object = create();
  ASSERT_TRUE(object);
  ComVariant result;
  EXCEPINFO exception{};
  ASSERT_EQ(invoke(*object.get(), L"WanShan", DISPATCH_METHOD, {}, result, exception), S_OK);
  EXPECT_EQ(fromBstr(result.get().bstrVal), u"yes");
  ASSERT_EQ(desktop_->boxes.size(), 1U);
  EXPECT_EQ(desktop_->boxes.front(), u"question");
  desktop_->boxes.clear();
}

}  // namespace
}  // namespace kvm::win32

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const std::string prefix = "--server=";
    if (argument.rfind(prefix, 0) == 0) {
      const std::string name = argument.substr(prefix.size());
      kvm::win32::gServerName.assign(name.begin(), name.end());
    }
  }
  const kvm::win32::ComApartment apartment;
  return RUN_ALL_TESTS();
}
