#include <gtest/gtest.h>

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/dispatch_com_object.h"
#include "platform/win32/variant_conversion.h"

namespace kvm::win32 {
namespace {

Variant roundTrip(const Variant& value) {
  return fromComVariant(toComVariant(value).get());
}

template <class Body>
RuntimeError errorOf(Body&& body) {
  try {
    body();
  } catch (const RuntimeError& error) {
    return error;
  }
  ADD_FAILURE() << "no run-time error";
  return RuntimeError(0, u"");
}

TEST(variant_conversion, scalars_keep_their_exact_types) {
  EXPECT_EQ(toComVariant(Variant(int16_t{-5})).get().vt, VT_I2);
  EXPECT_EQ(toComVariant(Variant(int32_t{70000})).get().vt, VT_I4);
  EXPECT_EQ(toComVariant(Variant(uint8_t{7})).get().vt, VT_UI1);
  EXPECT_EQ(toComVariant(Variant(0.8F)).get().vt, VT_R4);
  EXPECT_EQ(toComVariant(Variant(2.3)).get().vt, VT_R8);
  EXPECT_EQ(toComVariant(Variant(true)).get().boolVal, VARIANT_TRUE);
  EXPECT_EQ(toComVariant(Variant()).get().vt, VT_EMPTY);
  for (const Variant& value :
       {Variant(int16_t{-32768}), Variant(int32_t{-2}), Variant(uint8_t{255}), Variant(0.8F),
        Variant(-1e300), Variant(false), Variant(u"包角 a\u0000b"), Variant()}) {
    EXPECT_EQ(roundTrip(value), value);
  }
}

TEST(variant_conversion, typed_arrays_keep_element_type_bounds_and_allocation) {
  const Variant integers = Variant::array(VarType::Integer, {int16_t{100}, int16_t{-1890}});
  const ComVariant com = toComVariant(integers);
  EXPECT_EQ(com.get().vt, VT_ARRAY | VT_I2);
  EXPECT_EQ(roundTrip(integers), integers);

  for (const Variant& value :
       {Variant::array(VarType::Long, {int32_t{1}, int32_t{2600}}), Variant::doubles({1.5, -2}),
        Variant::array(VarType::Single, {0.25F}), Variant::array(VarType::String, {u"甲", u""}),
        Variant::array(VarType::Boolean, {true, false}),
        Variant::array(VarType::Variant,
                       {int16_t{1}, u"x", 2.5, Variant(), Variant::doubles({1, 2, 3})}),
        Variant::array(VarType::Double, {})}) {
    EXPECT_EQ(roundTrip(value), value);
  }

  ArrayValue shifted{VarType::Long, true, 5, {int32_t{9}}, {}};
  EXPECT_EQ(roundTrip(Variant(shifted)).arrayValue().lowerBound, 5);
}

TEST(variant_conversion, an_array_typed_value_without_array_stays_unallocated) {
  const Variant none = Variant::unallocatedArray(VarType::Double);
  const ComVariant com = toComVariant(none);
  EXPECT_EQ(com.get().vt, VT_ARRAY | VT_R8);
  EXPECT_EQ(com.get().parray, nullptr);
  const Variant back = fromComVariant(com.get());
  ASSERT_TRUE(back.isArray());
  EXPECT_FALSE(back.arrayValue().allocated);
  EXPECT_EQ(back.arrayValue().elementType, VarType::Double);

  const Variant empty = roundTrip(Variant::array(VarType::Integer, {}));
  EXPECT_TRUE(empty.arrayValue().allocated);
  EXPECT_TRUE(empty.arrayValue().elements.empty());
}

TEST(variant_conversion, foreign_types_convert_as_late_binding_does) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_NULL;
  EXPECT_TRUE(fromComVariant(value).isNull());
  EXPECT_EQ(toComVariant(Variant(NullValue{})).get().vt, VT_NULL);
  value.vt = VT_DATE;
  value.date = 42000.5;
  EXPECT_EQ(fromComVariant(value), Variant(42000.5));
  value.vt = VT_I8;
  value.llVal = 123;
  EXPECT_EQ(fromComVariant(value), Variant(int32_t{123}));
  value.llVal = 1LL << 40;
  EXPECT_EQ(fromComVariant(value), Variant(static_cast<double>(1LL << 40)));
  value.vt = VT_ERROR;
  value.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(errorOf([&] { fromComVariant(value); }).number(), err::kArgumentNotOptional);
}

TEST(variant_conversion, arrays_of_two_dimensions_keep_their_shape_both_ways) {
  // Two rows from 0, three columns from 1, as Dim a(0 To 1, 1 To 3) makes them.
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 1}};
  SafeArray matrix(SafeArrayCreate(VT_I4, 2, bounds));
  ASSERT_NE(matrix.get(), nullptr);
  for (LONG row = 0; row <= 1; ++row) {
    for (LONG column = 1; column <= 3; ++column) {
      LONG indices[2] = {row, column};
      LONG item = row * 10 + column;
      ASSERT_EQ(SafeArrayPutElement(matrix.get(), indices, &item), S_OK);
    }
  }
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_ARRAY | VT_I4;
  value.parray = matrix.get();
  const Variant read = fromComVariant(value);
  const auto& array = read.arrayValue();
  ASSERT_EQ(array.dimensions.size(), 2U);
  EXPECT_EQ(array.dimensions[0], (ArrayDimension{0, 2}));
  EXPECT_EQ(array.dimensions[1], (ArrayDimension{1, 3}));
  std::vector<Variant> expected;
  for (int32_t item : {1, 2, 3, 11, 12, 13}) {
    expected.emplace_back(item);
  }
  EXPECT_EQ(array.elements, expected);

  const ComVariant back = toComVariant(read);
  SAFEARRAY* made = back.get().parray;
  ASSERT_EQ(SafeArrayGetDim(made), 2U);
  LONG lower = -1;
  LONG upper = -1;
  SafeArrayGetLBound(made, 2, &lower);
  SafeArrayGetUBound(made, 2, &upper);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 3);
  LONG indices[2] = {1, 2};
  LONG item = 0;
  ASSERT_EQ(SafeArrayGetElement(made, indices, &item), S_OK);
  EXPECT_EQ(item, 12);
  EXPECT_EQ(fromComVariant(back.get()), read);
}

TEST(variant_conversion, by_reference_values_are_followed) {
  ComVariant inner = toComVariant(Variant::doubles({1, 2}));
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_VARIANT;
  reference.pvarVal = &inner.get();
  EXPECT_EQ(fromComVariant(reference), Variant::doubles({1, 2}));

  short number = 12;
  reference.vt = VT_BYREF | VT_I2;
  reference.piVal = &number;
  EXPECT_EQ(fromComVariant(reference), Variant(int16_t{12}));
}

TEST(variant_conversion, write_back_converts_to_the_callers_type) {
  // A caller's Integer array variable, given Longs back.
  SAFEARRAY* array = nullptr;
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_ARRAY | VT_I2;
  reference.pparray = &array;
  writeBack(reference, Variant::array(VarType::Variant, {int32_t{3}, 4.0}));
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(fromComVariant(reference), Variant::array(VarType::Integer, {int16_t{3}, int16_t{4}}));
  SafeArray owner(array);

  EXPECT_EQ(errorOf([&] {
              writeBack(reference, Variant::array(VarType::Variant, {u"not a number"}));
            }).number(),
            err::kTypeMismatch);

  short number = 0;
  reference.vt = VT_BYREF | VT_I2;
  reference.piVal = &number;
  writeBack(reference, Variant(int32_t{300}));
  EXPECT_EQ(number, 300);
  EXPECT_EQ(errorOf([&] { writeBack(reference, Variant(int32_t{70000})); }).number(),
            err::kOverflow);

  BSTR text = SysAllocString(L"old");
  reference.vt = VT_BYREF | VT_BSTR;
  reference.pbstrVal = &text;
  writeBack(reference, Variant(u"new"));
  EXPECT_EQ(fromBstr(text), u"new");
  SysFreeString(text);

  ComVariant slot;
  reference.vt = VT_BYREF | VT_VARIANT;
  reference.pvarVal = &slot.get();
  writeBack(reference, Variant(int16_t{5}));
  EXPECT_EQ(slot.get().vt, VT_I2);

  reference.vt = VT_I2;  // by value: nothing to write
  reference.iVal = 1;
  writeBack(reference, Variant(int16_t{5}));
  EXPECT_EQ(reference.iVal, 1);
}

// A core object that records how it was called.
class Recorder final : public Dispatch {
 public:
  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override {
    lastName = std::u16string(name);
    lastKind = kind;
    lastArgs = args;
    if (name == u"Twice") {
      for (auto& item : args) {
        item = Variant(toDouble(item) * 2);
      }
      return Variant(int16_t{static_cast<int16_t>(args.size())});
    }
    if (name == u"Fail") {
      raise(err::kInvalidCall, u"Key not found");
    }
    if (name == u"Self") {
      return Variant(self.lock());
    }
    if (name == u"Missing") {
      raise(err::kMemberNotFound);
    }
    return {};
  }
  [[nodiscard]] std::u16string typeName() const override { return u"Recorder"; }

  std::weak_ptr<Dispatch> self;
  std::u16string lastName;
  InvokeKind lastKind = InvokeKind::Method;
  std::vector<Variant> lastArgs;
};

struct Bridged {
  std::shared_ptr<Recorder> core = std::make_shared<Recorder>();
  // Through a real IDispatch, not unwrapped, so both adapters are in the path.
  std::shared_ptr<ComDispatch> remote;

  Bridged() {
    core->self = core;
    remote = std::make_shared<ComDispatch>(exposeDispatch(core));
  }
};

TEST(com_dispatch, calls_arrive_by_name_with_their_kind_and_arguments_in_order) {
  Bridged bridge;
  std::vector<Variant> args{int16_t{1}, u"two", Variant::doubles({3})};
  bridge.remote->invoke(u"Anything", InvokeKind::Method, args);
  EXPECT_EQ(bridge.core->lastName, u"Anything");
  EXPECT_EQ(bridge.core->lastKind, InvokeKind::Method);
  EXPECT_EQ(bridge.core->lastArgs, args);

  put(bridge.remote, u"Layer", Variant(u"BJ-清单"));
  EXPECT_EQ(bridge.core->lastKind, InvokeKind::PropertyPut);
  EXPECT_EQ(bridge.core->lastArgs, std::vector<Variant>{Variant(u"BJ-清单")});
  // Late binding asks for a property read as a method call or a read alike.
  get(bridge.remote, u"Count");
  EXPECT_EQ(bridge.core->lastKind, InvokeKind::Method);
}

// An IDispatch that only records how it was invoked; it lives on the stack, never deleted
// through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FlagsRecorder final : public IDispatch {
 public:
  WORD lastFlags = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT /*index*/, LCID /*locale*/,
                                        ITypeInfo** info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/, UINT /*count*/,
                                          LCID /*locale*/, DISPID* ids) override {
    ids[0] = DISPID_VALUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID /*id*/, REFIID /*iid*/, LCID /*locale*/, WORD flags,
                                   DISPPARAMS* /*parameters*/, VARIANT* /*result*/,
                                   EXCEPINFO* /*exception*/, UINT* /*argumentError*/) override {
    lastFlags = flags;
    return S_OK;
  }
};
#pragma GCC diagnostic pop

TEST(com_dispatch, members_are_invoked_as_late_binding_invokes_them) {
  FlagsRecorder host;
  const auto remote = std::make_shared<ComDispatch>(ComPtr<IDispatch>::retain(&host));
  get(remote, u"Item", {int16_t{2}});
  EXPECT_EQ(host.lastFlags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
  call(remote, u"AddText", {u"a"});
  EXPECT_EQ(host.lastFlags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
  put(remote, u"Layer", Variant(u"0"));
  EXPECT_EQ(host.lastFlags, DISPATCH_PROPERTYPUT);
  FlagsRecorder other;
  put(remote, u"Owner",
      Variant(DispatchPtr(std::make_shared<ComDispatch>(ComPtr<IDispatch>::retain(&other)))));
  EXPECT_EQ(host.lastFlags, DISPATCH_PROPERTYPUTREF);
}

TEST(com_dispatch, by_reference_changes_come_back_into_the_arguments) {
  Bridged bridge;
  std::vector<Variant> args{int32_t{2}, 1.5};
  const Variant result = callByRef(bridge.remote, u"Twice", args);
  EXPECT_EQ(result, Variant(int16_t{2}));
  EXPECT_EQ(args, (std::vector<Variant>{4.0, 3.0}));
}

TEST(com_dispatch, errors_keep_number_and_description) {
  Bridged bridge;
  const RuntimeError failed = errorOf([&] { call(bridge.remote, u"Fail"); });
  EXPECT_EQ(failed.number(), err::kInvalidCall);
  EXPECT_EQ(failed.description(), u"Key not found");
  const RuntimeError missing = errorOf([&] { call(bridge.remote, u"Missing"); });
  EXPECT_EQ(missing.number(), err::kMemberNotFound);
  EXPECT_EQ(missing.description(), standardDescription(err::kMemberNotFound));
}

TEST(com_dispatch, objects_keep_their_identity_across_the_boundary) {
  Bridged bridge;
  const Variant self = call(bridge.remote, u"Self");
  // The remote side's own object comes back as the core object, not as a wrapper of a wrapper.
  ASSERT_TRUE(self.isObject());
  EXPECT_EQ(self.objectValue(), bridge.core);

  std::vector<Variant> args{Variant(DispatchPtr(bridge.remote))};
  bridge.remote->invoke(u"Take", InvokeKind::Method, args);
  ASSERT_TRUE(bridge.core->lastArgs.at(0).isObject());
  EXPECT_EQ(bridge.core->lastArgs.at(0).objectValue(), bridge.core);
}

TEST(dispatch_com_object, names_get_stable_ids_case_insensitively) {
  const auto object = exposeDispatch(std::make_shared<Recorder>());
  std::u16string first = u"GetBoundingBox";
  std::u16string other = u"getboundingbox";
  std::u16string second = u"Layer";
  DISPID a = 0;
  DISPID b = 0;
  DISPID c = 0;
  LPOLESTR name = const_cast<LPOLESTR>(wide(first));
  ASSERT_EQ(object->GetIDsOfNames(IID_NULL, &name, 1, 0, &a), S_OK);
  name = const_cast<LPOLESTR>(wide(second));
  ASSERT_EQ(object->GetIDsOfNames(IID_NULL, &name, 1, 0, &c), S_OK);
  name = const_cast<LPOLESTR>(wide(other));
  ASSERT_EQ(object->GetIDsOfNames(IID_NULL, &name, 1, 0, &b), S_OK);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(object->Invoke(a, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
            S_OK);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(object->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST(dispatch_com_object, the_core_object_ends_with_its_last_com_reference) {
  auto core = std::make_shared<Recorder>();
  const std::weak_ptr<Recorder> watch = core;
  auto object = exposeDispatch(core);
  core.reset();
  EXPECT_FALSE(watch.expired());
  object.reset();
  EXPECT_TRUE(watch.expired());
}

TEST(automation_error, numbers_travel_in_the_control_facility) {
  EXPECT_EQ(static_cast<unsigned long>(scodeOf(err::kOverflow)), 0x800A0006UL);
  EXPECT_EQ(scodeOf(static_cast<int32_t>(E_NOINTERFACE)), E_NOINTERFACE);
  EXPECT_EQ(scodeOf(0), E_FAIL);  // never a success code in an exception
  EXPECT_EQ(scodeOf(70000), E_FAIL);

  EXCEPINFO info{};
  EXPECT_EQ(reportError(RuntimeError(err::kTypeMismatch), &info), DISP_E_EXCEPTION);
  const RuntimeError back = errorFromInvoke(DISP_E_EXCEPTION, info);
  EXPECT_EQ(back.number(), err::kTypeMismatch);
  EXPECT_EQ(back.description(), u"Type mismatch");

  EXCEPINFO old{};
  old.wCode = 1004;
  old.bstrDescription = SysAllocString(L"host says no");
  const RuntimeError legacy = errorFromInvoke(DISP_E_EXCEPTION, old);
  EXPECT_EQ(legacy.number(), 1004);
  EXPECT_EQ(legacy.description(), u"host says no");

  EXPECT_EQ(errorFromResult(DISP_E_TYPEMISMATCH).number(), err::kTypeMismatch);
  EXPECT_EQ(errorFromResult(E_NOINTERFACE).number(), static_cast<int32_t>(E_NOINTERFACE));
}

class FixedDesktop final : public Ui {
 public:
  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override {
    shown = std::u16string(text);
    shownTitle = title;
    shownIcon = icon;
    shownButtons = buttons;
    return MsgAnswer::No;
  }
  bool shiftDown() override { return true; }
  bool topLevelWindowAfter(std::intptr_t after, std::u16string_view title) override {
    return after == 4242 && title == u"Drawing2.dwg";
  }
  CalendarDate today() override { return {2016, 3, 2}; }
  ScreenSize screenSize() override { return {1280, 1024}; }
  void activateWindow(std::u16string_view title) override {
    if (title != u"frmWanShan") {
      raise(err::kInvalidCall);
    }
    activated = std::u16string(title);
  }

  std::u16string activated;
  std::u16string shown;
  std::optional<std::u16string> shownTitle;
  MsgIcon shownIcon = MsgIcon::None;
  MsgButtons shownButtons = MsgButtons::Ok;
};

TEST(desktop_bridge, a_desktop_crosses_com_and_answers_the_same) {
  auto desktop = std::make_shared<FixedDesktop>();
  const auto remote = desktopFromDispatch(
      std::make_shared<ComDispatch>(exposeDispatch(desktopAsDispatch(desktop))));
  EXPECT_EQ(remote->messageBox(u"问题", std::nullopt, MsgIcon::Question, MsgButtons::YesNoCancel),
            MsgAnswer::No);
  EXPECT_EQ(desktop->shown, u"问题");
  EXPECT_FALSE(desktop->shownTitle.has_value());
  EXPECT_EQ(desktop->shownIcon, MsgIcon::Question);
  EXPECT_EQ(desktop->shownButtons, MsgButtons::YesNoCancel);
  remote->messageBox(u"x", std::u16string(u"5,))"), MsgIcon::Information, MsgButtons::Ok);
  EXPECT_EQ(desktop->shownTitle, std::optional<std::u16string>(u"5,))"));
  EXPECT_TRUE(remote->shiftDown());
  EXPECT_TRUE(remote->topLevelWindowAfter(4242, u"Drawing2.dwg"));
  EXPECT_FALSE(remote->topLevelWindowAfter(4242, u"Drawing3.dwg"));
  const CalendarDate date = remote->today();
  EXPECT_EQ(date.year, 2016);
  EXPECT_EQ(date.month, 3);
  EXPECT_EQ(date.day, 2);
  EXPECT_EQ(remote->screenSize().width, 1280);
  EXPECT_EQ(remote->screenSize().height, 1024);
  remote->activateWindow(u"frmWanShan");
  EXPECT_EQ(desktop->activated, u"frmWanShan");
  EXPECT_EQ(errorOf([&] { remote->activateWindow(u"none"); }).number(), err::kInvalidCall);
}

}  // namespace
}  // namespace kvm::win32
