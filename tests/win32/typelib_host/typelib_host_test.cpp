// The COM server driven as a CAD host drives it, with host objects that answer through the
// system's dispatch over a type library (a collection's Item a method with the default
// dispatch id, properties as property functions): the component is created by its ProgID and
// called through IDispatch alone, as a host's automation client calls it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_client.h"
#include "platform/win32/com_variant.h"
#include "tests/win32/typelib_host/host_objects.h"
#include "tests/win32/typelib_host/host_type_library.h"
#include "ui/ui.h"

namespace kvm::win32::testing {
namespace {

std::filesystem::path besideThisProgram(const wchar_t* name) {
  std::vector<wchar_t> buffer(32768, L'\0');
  GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::filesystem::path(buffer.data()).parent_path() / name;
}

InProcessServer& server() {
  // The test build: the shipped server with the entry that installs this desktop.
  static InProcessServer loaded(besideThisProgram(L"KavelmorTest.dll"));
  return loaded;
}

std::string utf8(const std::wstring& text) {
  return toUtf8(fromWide(text.c_str()));
}

// The desktop the DLL sees: message boxes are kept (a box is a failure in every case here);
// the window search answers `windowFound` and is kept.
class HostDesktop final : public Ui {
 public:
  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon /*icon*/, MsgButtons /*buttons*/) override {
    boxes.push_back(toUtf8(title.value_or(u"")) + ": " + toUtf8(text));
    return MsgAnswer::Ok;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) override {
    searches.emplace_back(afterWindow, std::u16string(title));
    return windowFound;
  }
  CalendarDate today() override { return {2026, 12, 7}; }

  std::vector<std::string> boxes;
  std::vector<std::pair<std::intptr_t, std::u16string>> searches;
  bool windowFound = true;
};

// Argument values as an automation client builds them.
ComVariant value(const wchar_t* text) {
  ComVariant result;
  result.get().vt = VT_BSTR;
  result.get().bstrVal = SysAllocString(text);
  return result;
}
ComVariant value(int16_t number) {
  ComVariant result;
  result.get().vt = VT_I2;
  result.get().iVal = number;
  return result;
}
ComVariant value(int32_t number) {
  ComVariant result;
  result.get().vt = VT_I4;
  result.get().lVal = number;
  return result;
}
ComVariant value(double number) {
  ComVariant result;
  result.get().vt = VT_R8;
  result.get().dblVal = number;
  return result;
}
ComVariant value(IDispatch* object) {
  ComVariant result;
  result.get().vt = VT_DISPATCH;
  result.get().pdispVal = object;
  object->AddRef();
  return result;
}
ComVariant value(const Point& point) {
  ComVariant result;
  SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 3);
  for (LONG i = 0; i < 3; ++i) {
    double element = point.at(static_cast<std::size_t>(i));
    SafeArrayPutElement(array, &i, &element);
  }
  result.get().vt = VT_ARRAY | VT_R8;
  result.get().parray = array;
  return result;
}

struct Answer {
  HRESULT outcome = E_FAIL;
  std::wstring error;
  ComVariant result;
};

// A late-bound method call by name, arguments in declaration order.
template <class... Arguments>
Answer call(IDispatch& object, const wchar_t* name, Arguments&&... arguments) {
  std::array<ComVariant, sizeof...(Arguments)> values{value(arguments)...};
  std::vector<VARIANT> reversed;
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    reversed.push_back(it->get());
  }
  Answer answer;
  std::wstring member = name;
  LPOLESTR names[] = {member.data()};
  DISPID id = 0;
  answer.outcome = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(answer.outcome)) {
    return answer;
  }
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  answer.outcome = object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                 &answer.result.get(), &exception, nullptr);
  if (exception.bstrDescription != nullptr) {
    answer.error = exception.bstrDescription;
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return answer;
}

// `expected` appear in `calls` in this order (other calls may come between).
::testing::AssertionResult inOrder(const std::vector<std::wstring>& calls,
                                   const std::vector<std::wstring>& expected) {
  auto at = calls.begin();
  for (const auto& wanted : expected) {
    at = std::find(at, calls.end(), wanted);
    if (at == calls.end()) {
      std::string seen;
      for (const auto& call : calls) {
        seen += "\n  " + utf8(call);
      }
      return ::testing::AssertionFailure()
             << "not seen in order: " << utf8(wanted) << "\ncalls:" << seen;
    }
    ++at;
  }
  return ::testing::AssertionSuccess();
}

const std::wstring kUsers1 = L"\"(lstdang gong jkdag)\"";
const std::wstring kUsers2 = L"(defun f3e(a) (eval (read (getvar (strcat \"users\" (itoa a))))))";
const std::wstring kBridgeStart = L"(vl-doc-set'jl\"ssadd\")";
const std::wstring kBridgeEnd = L"(progn(vl-doc-set'il nil)(vl-doc-set'jl nil)(vl-doc-set'kl nil))";

class TypeLibraryHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server().registerServer(); }
  static void TearDownTestSuite() { server().unregisterServer(); }

  void SetUp() override {
    server().installDesktop(desktop_);
    state_->variables = {{L"users1", L"the user's first"}, {L"users2", L"the user's second"}};
  }
  void TearDown() override {
    component_.reset();
    server().installDesktop(nullptr);
    for (const auto& box : desktop_->boxes) {
      ADD_FAILURE() << "message box " << box;
    }
  }

  // The host's start: the component created by its ProgID, then the start-up method.
  void start(const HostSetup& setup = {}) {
    host_ = makeHostApplication(library_, state_, setup);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Kavelmor.clsKavelmor", &clsid), S_OK);
    ASSERT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, component_.putVoid()),
        S_OK);
    const Answer started = call(*component_.get(), L"dycjmw", host_.get(), int32_t{0}, 0.0);
    ASSERT_EQ(started.outcome, S_OK) << utf8(started.error);
  }
  Answer method(const wchar_t* name, auto&&... arguments) {
    return call(*component_.get(), name, arguments...);
  }

  HostTypeLibrary library_;
  std::shared_ptr<HostState> state_ = std::make_shared<HostState>();
  std::shared_ptr<HostDesktop> desktop_ = std::make_shared<HostDesktop>();
  ComPtr<IDispatch> host_;
  ComPtr<IDispatch> component_;
};

TEST_F(TypeLibraryHost, start_up_writes_the_bridge_and_the_end_gives_the_variables_back) {
  start();
  EXPECT_TRUE(
      inOrder(state_->calls,
              {L"Application.ActiveDocument", L"Application.Version",
               L"Application.GetInterfaceObject VL.Application.16", L"Document.GetVariable users1",
               L"Document.GetVariable users2", L"Document.SetVariable users1 " + kUsers1,
               L"Document.SetVariable users2 " + kUsers2, L"Functions.Item read",
               L"read.funcall " + kBridgeStart, L"Functions.Item eval",
               L"eval.funcall form:" + kBridgeStart}));
  EXPECT_EQ(state_->variables[L"users1"], kUsers1);
  EXPECT_EQ(state_->variables[L"users2"], kUsers2);

  state_->calls.clear();
  component_.reset();
  EXPECT_TRUE(
      inOrder(state_->calls, {L"read.funcall " + kBridgeEnd, L"eval.funcall form:" + kBridgeEnd,
                              L"Document.SetVariable users1 the user's first",
                              L"Document.SetVariable users2 the user's second"}));
  EXPECT_EQ(state_->variables[L"users1"], L"the user's first");
  EXPECT_EQ(state_->variables[L"users2"], L"the user's second");
}

TEST_F(TypeLibraryHost, a_host_of_release_fifteen_gets_the_older_lisp_application) {
  HostSetup setup;
  setup.version = L"15.06s (LMS Tech)";
  start(setup);
  EXPECT_TRUE(inOrder(state_->calls, {L"Application.GetInterfaceObject VL.Application.1",
                                      L"read.funcall " + kBridgeStart}));
}

TEST_F(TypeLibraryHost, the_lisp_bridge_evaluates_what_read_gave_and_returns_evals_value) {
  state_->lispResults[L"(+ 1 2)"] = 3;
  start();
  state_->calls.clear();
  Answer evaluated = method(L"mlfs2ed", L"(+ 1 2)");
  ASSERT_EQ(evaluated.outcome, S_OK);
  ComVariant number;
  ASSERT_EQ(VariantChangeType(&number.get(), &evaluated.result.get(), 0, VT_I4), S_OK);
  EXPECT_EQ(number.get().lVal, 3);
  EXPECT_EQ(state_->calls,
            (std::vector<std::wstring>{L"Functions.Item read", L"read.funcall (+ 1 2)",
                                       L"Functions.Item eval", L"eval.funcall form:(+ 1 2)"}));
}

TEST_F(TypeLibraryHost, the_window_test_reads_the_last_of_three_documents_by_position) {
  HostSetup setup;
  setup.documentNames = {L"Drawing1.dwg", L"厂房屋面.dwg", L"Drawing3.dwg"};
  start(setup);

  state_->calls.clear();
  Answer found = method(L"CadTB", host_.get());
  ASSERT_EQ(found.outcome, S_OK) << utf8(found.error);
  EXPECT_EQ(found.result.get().vt, VT_I2);
  EXPECT_EQ(found.result.get().iVal, 1);
  EXPECT_TRUE(
      inOrder(state_->calls, {L"Application.Documents", L"Documents.Count", L"Documents.Item 2",
                              L"Document.Name Drawing3.dwg", L"Application.HWND"}));
  ASSERT_EQ(desktop_->searches.size(), 1U);
  EXPECT_EQ(desktop_->searches[0].first, setup.mainWindow);
  EXPECT_EQ(desktop_->searches[0].second, u"Drawing3.dwg");

  desktop_->windowFound = false;
  found = method(L"CadTB", host_.get());
  ASSERT_EQ(found.outcome, S_OK);
  EXPECT_EQ(found.result.get().iVal, 0);
}

TEST_F(TypeLibraryHost, the_window_test_with_one_document_asks_for_no_item) {
  start();
  state_->calls.clear();
  const Answer found = method(L"CadTB", host_.get());
  ASSERT_EQ(found.outcome, S_OK);
  EXPECT_EQ(found.result.get().iVal, 0);
  EXPECT_EQ(state_->calls,
            (std::vector<std::wstring>{L"Application.Documents", L"Documents.Count"}));
  EXPECT_TRUE(desktop_->searches.empty());
}

// Each bill text: what AddText got and the properties set on it, in order.
struct ExpectedText {
  std::wstring text;
  Point point;
  double height;
  int alignment;
};

std::vector<std::wstring> billProperties(const ExpectedText& expected) {
  std::wostringstream point;
  point << expected.point[0] << L"," << expected.point[1] << L"," << expected.point[2];
  return {L"Alignment " + std::to_wstring(expected.alignment),
          L"TextAlignmentPoint " + point.str(),
          L"StyleName HZTXT",
          L"Layer BJ-清单",
          L"ScaleFactor 0.7",
          L"color 7",
          L"Linetype ByLayer",
          L"LinetypeScale 1",
          L"Lineweight -1"};
}

TEST_F(TypeLibraryHost, a_bill_block_writes_its_rows_and_totals_into_model_space) {
  start();
  ASSERT_EQ(method(L"WSJM", L"JM-1", L"S0", int16_t{300}, Point{1000, 2000, 0}, int16_t{1}).outcome,
            S_OK);
  const Answer blockPoint = method(L"mzbj0", int16_t{0}, int16_t{4000}, int16_t{100}, int16_t{100});
  ASSERT_EQ(blockPoint.outcome, S_OK);
  EXPECT_EQ(blockPoint.result.get().vt, VT_ARRAY | VT_R8);
  EXPECT_EQ(readPoint(blockPoint.result.get()), (Point{1100, 110, 0}));
  ASSERT_EQ(method(L"qp1", int16_t{0}).outcome, S_OK);
  ASSERT_EQ(method(L"yfgiu", L"3000", L"2", int16_t{0}).outcome, S_OK);
  ASSERT_EQ(method(L"yfgiu", L"4500.5", L"12", int16_t{0}).outcome, S_OK);
  const Answer totals = method(L"y2fgiu", L"12.6", L"64.0", int16_t{0});
  ASSERT_EQ(totals.outcome, S_OK);
  EXPECT_EQ(totals.result.get().vt, VT_I2);

  // Rows from the block base (origin + (1550, -3050)), 580 apart; totals 4115 right of and
  // 1680 below the origin; the "2" 0.22 of the height right of the caption's box.
  const double captionRight = 5115 + 0.7 * 300 * 10;
  const std::vector<ExpectedText> expected{
      {L"3000", {2550, -1050, 0}, 300, 10},         {L"2", {4550, -1050, 0}, 300, 10},
      {L"4500.5", {2550, -1630, 0}, 300, 10},       {L"12", {4550, -1630, 0}, 300, 10},
      {L"累计面积 12.6m", {5115, 320, 0}, 300, 6},  {L"2", {captionRight + 66, 320, 0}, 150, 6},
      {L"累计总长 64.0m", {11463, 320, 0}, 300, 8},
  };
  ASSERT_EQ(state_->texts.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const HostText& text = *state_->texts[i];
    SCOPED_TRACE(utf8(expected[i].text));
    EXPECT_EQ(text.text, expected[i].text);
    for (std::size_t axis = 0; axis < 3; ++axis) {
      EXPECT_NEAR(text.insertion.at(axis), expected[i].point.at(axis), 1e-6);
    }
    EXPECT_DOUBLE_EQ(text.height, expected[i].height);
    EXPECT_EQ(text.properties, billProperties(expected[i]));
  }
}

}  // namespace
}  // namespace kvm::win32::testing
