#include <gtest/gtest.h>

#include "dispatch/dispatch.h"
#include "host_error.h"
#include "platform/sim/host/sim_host.h"
#include "recording_sink.h"

namespace kvm::sim {
namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  DispatchPtr app() const { return host_.application(); }

  DispatchPtr functions() const {
    const DispatchPtr vl =
        requireObject(call(app(), u"GetInterfaceObject", {u"VL.Application.16"}));
    return getObject(getObject(vl, u"ActiveDocument"), u"Functions");
  }

  // The component's evaluation: read, then eval what read gave.
  Variant evaluate(const char16_t* text) const {
    const DispatchPtr all = functions();
    std::vector<Variant> source{Variant(text)};
    const Variant form = callByRef(getObject(all, u"Item", {u"read"}), u"funcall", source);
    return call(getObject(all, u"Item", {u"eval"}), u"funcall", {form});
  }

  RecordingSink sink_;
  SimHost host_{sink_};
};

TEST_F(ApplicationTest, application_members) {
  EXPECT_EQ(app()->typeName(), u"Application");
  EXPECT_EQ(get(app(), u"Version"), Variant(u"16.2"));
  EXPECT_EQ(get(app(), u"HWND").type(), VarType::Long);
  EXPECT_EQ(getObject(app(), u"ActiveDocument")->typeName(), u"Document");
  EXPECT_EQ(get(getObject(app(), u"ActiveDocument"), u"Name"), Variant(u"Drawing1.dwg"));
  EXPECT_HOST_ERROR_NUMBER(get(app(), u"Preferences"), 438);
  EXPECT_HOST_ERROR_NUMBER(put(app(), u"Version", u"15"), 450);
}

TEST_F(ApplicationTest, documents_and_their_windows) {
  host_.configure(nlohmann::json::parse(
      R"({"documents": ["a.dwg", "b.dwg", "c.dwg"], "windows": ["x", "c.dwg"]})"));
  const DispatchPtr documents = getObject(app(), u"Documents");
  EXPECT_EQ(documents->typeName(), u"Documents");
  EXPECT_EQ(get(documents, u"Count"), Variant(int32_t{3}));
  EXPECT_EQ(get(getObject(documents, u"Item", {int16_t{2}}), u"name"), Variant(u"c.dwg"));
  EXPECT_EQ(get(getObject(app(), u"ActiveDocument"), u"Name"), Variant(u"a.dwg"));
  EXPECT_HOST_ERROR_NUMBER(get(documents, u"Item", {int16_t{3}}), 5);

  const auto hwnd = static_cast<std::intptr_t>(toLong(get(app(), u"hwnd")));
  EXPECT_TRUE(host_.topLevelWindowAfter(hwnd, u"c.dwg"));
  EXPECT_FALSE(host_.topLevelWindowAfter(hwnd, u"C.dwg"));
  EXPECT_FALSE(host_.topLevelWindowAfter(hwnd, u"b.dwg"));
}

TEST_F(ApplicationTest, reconfiguring_documents_keeps_the_open_drawings) {
  const DispatchPtr first = getObject(app(), u"ActiveDocument");
  call(getObject(first, u"ModelSpace"), u"AddText", {u"x", Variant::doubles({0, 0, 0}), 1.0});
  host_.configure(nlohmann::json::parse(R"({"documents": ["Drawing1.dwg", "b.dwg"]})"));
  EXPECT_EQ(getObject(app(), u"ActiveDocument"), first);
  EXPECT_EQ(host_.dumpModelSpace().size(), 1U);
}

TEST_F(ApplicationTest, the_visual_lisp_interface_matches_the_release) {
  EXPECT_EQ(call(app(), u"GetInterfaceObject", {u"VL.Application.16"}).objectValue()->typeName(),
            u"VLApplication");
  EXPECT_HOST_ERROR(call(app(), u"GetInterfaceObject", {u"VL.Application.1"}), 5,
                    "Problem in loading application");
  EXPECT_HOST_ERROR(call(app(), u"GetInterfaceObject", {u"Excel.Application"}), 5,
                    "Problem in loading application");
  host_.configure({{"version", "15.06s (LMS Tech)"}});
  EXPECT_HOST_ERROR(call(app(), u"GetInterfaceObject", {u"VL.Application.16"}), 5,
                    "Problem in loading application");
  const DispatchPtr vl = requireObject(call(app(), u"GetInterfaceObject", {u"VL.Application.1"}));
  const DispatchPtr vlDocument = getObject(vl, u"ActiveDocument");
  EXPECT_EQ(vlDocument->typeName(), u"VLDocument");
  EXPECT_EQ(getObject(vlDocument, u"Functions")->typeName(), u"Functions");
}

TEST_F(ApplicationTest, read_then_eval_gives_automation_values) {
  EXPECT_EQ(evaluate(u"(+ 1 2)"), Variant(int32_t{3}));
  EXPECT_EQ(evaluate(u"(/ 1.0 4)"), Variant(0.25));
  EXPECT_EQ(evaluate(u"(vl-doc-set'jl\"ssadd\")"), Variant(u"ssadd"));
  EXPECT_EQ(evaluate(u"\"plain\""), Variant(u"plain"));
  EXPECT_EQ(evaluate(u"12"), Variant(int32_t{12}));
  EXPECT_TRUE(evaluate(u"nil").isEmpty());
  EXPECT_EQ(evaluate(u"(= 1 1)"), Variant(true));
  EXPECT_EQ(evaluate(u"'abc"), Variant(u"ABC"));
  EXPECT_EQ(evaluate(u"(list 1 \"a\" (list 2.5))"),
            Variant::array(VarType::Variant,
                           {int32_t{1}, u"a", Variant::array(VarType::Variant, {2.5})}));
  EXPECT_EQ(evaluate(u"(+ 1 2)(+ 3 4)"), Variant(int32_t{3}));
}

TEST_F(ApplicationTest, read_keeps_forms_opaque_and_eval_takes_them_back) {
  const DispatchPtr all = functions();
  const Variant form = call(getObject(all, u"Item", {u"READ"}), u"funcall", {u"(+ 1 2)"});
  ASSERT_TRUE(form.isObject());
  EXPECT_EQ(form.objectValue()->typeName(), u"LispForm");
  EXPECT_HOST_ERROR_NUMBER(get(form.objectValue(), u"Value"), 438);
  EXPECT_EQ(call(getObject(all, u"Item", {u"read"}), u"funcall", {u"7"}), Variant(int32_t{7}));
  // Other functions are called directly with converted arguments.
  EXPECT_EQ(call(getObject(all, u"Item", {u"strcat"}), u"funcall", {u"a", u"b"}), Variant(u"ab"));
  EXPECT_EQ(call(getObject(all, u"", {u"+"}), u"funcall", {int16_t{2}, 0.5}), Variant(2.5));
  EXPECT_HOST_ERROR(call(getObject(all, u"Item", {u"nosuch"}), u"funcall", {}), 5,
                    "no function definition: NOSUCH");
}

TEST_F(ApplicationTest, lisp_failures_reach_the_component_as_error_5) {
  EXPECT_HOST_ERROR(evaluate(u"(+ 1 2"), 5, "malformed list on input");
  EXPECT_HOST_ERROR(evaluate(u"(lstdang gong jkdag)"), 5, "no function definition: LSTDANG");
  EXPECT_HOST_ERROR(evaluate(u"(+ 1 \"a\")"), 5, "bad argument type: numberp: \"a\"");
  const DispatchPtr eval = getObject(functions(), u"Item", {u"eval"});
  EXPECT_HOST_ERROR_NUMBER(call(eval, u"funcall", {Variant(app())}), 13);
}

TEST_F(ApplicationTest, the_bridge_texts_work_through_the_system_variables) {
  const DispatchPtr document = getObject(app(), u"ActiveDocument");
  call(document, u"SetVariable", {u"users1", u"\"(lstdang gong jkdag)\""});
  call(document, u"SetVariable",
       {u"users2", u"(defun f3e(a) (eval (read (getvar (strcat \"users\" (itoa a))))))"});
  EXPECT_EQ(evaluate(u"(eval (read (getvar \"users2\")))"), Variant(u"F3E"));
  EXPECT_EQ(evaluate(u"(f3e 1)"), Variant(u"(lstdang gong jkdag)"));
  evaluate(u"(vl-doc-set'jl\"ssadd\")");
  evaluate(u"(setq lst '(1 2.5 \"s\" x nil t))");
  EXPECT_EQ(host_.dumpLisp(), nlohmann::json::parse(R"({"variables": {"JL": "ssadd",
      "LST": [1, 2.5, "s", {"sym": "X"}, null, true]}, "functions": ["F3E"]})"));
  evaluate(u"(progn(vl-doc-set'il nil)(vl-doc-set'jl nil)(vl-doc-set'kl nil))");
  EXPECT_FALSE(host_.dumpLisp()["variables"].contains("JL"));
}

TEST_F(ApplicationTest, host_commands_only_record_their_calls) {
  EXPECT_EQ(evaluate(u"(progn(defun C:BL()(C:KavelmorList))1)"), Variant(int32_t{1}));
  EXPECT_EQ(evaluate(u"(progn(defun C:PC()(C:KVMPeiCeng))1)"), Variant(int32_t{1}));
  EXPECT_TRUE(evaluate(u"(c:bl)").isEmpty());
  evaluate(u"(C:kvmdanxian \"a\" 2)");
  EXPECT_EQ(host_.dumpHost(), nlohmann::json::parse(R"({"menugroups": [], "calls": [
      {"function": "C:KavelmorList", "args": []},
      {"function": "C:KVMDanXian", "args": ["a", 2]}]})"));
  EXPECT_EQ(host_.dumpLisp()["functions"], nlohmann::json::parse(R"(["C:BL", "C:PC"])"));
}

TEST_F(ApplicationTest, toolbars_toggle_through_the_menu_groups) {
  host_.configure(nlohmann::json::parse(R"({"menugroups": [
      {"name": "ACAD", "toolbars": []},
      {"name": "QORNCAD", "toolbars": [{"tagstring": "ID_KVM", "visible": false}]}]})"));
  const DispatchPtr groups = getObject(app(), u"MenuGroups");
  EXPECT_EQ(groups->typeName(), u"MenuGroups");
  EXPECT_EQ(get(groups, u"Count"), Variant(int32_t{2}));
  const DispatchPtr group = getObject(groups, u"Item", {int32_t{1}});
  EXPECT_EQ(get(group, u"Name"), Variant(u"QORNCAD"));
  EXPECT_EQ(getObject(groups, u"Item", {u"qorncad"}), group);
  EXPECT_HOST_ERROR(get(groups, u"Item", {u"nosuch"}), 5, "Key not found");
  const DispatchPtr toolbars = getObject(group, u"toolbars");
  EXPECT_EQ(toolbars->typeName(), u"Toolbars");
  const DispatchPtr toolbar = getObject(toolbars, u"Item", {int32_t{0}});
  EXPECT_EQ(toolbar->typeName(), u"Toolbar");
  EXPECT_EQ(get(toolbar, u"tagstring"), Variant(u"ID_KVM"));
  EXPECT_EQ(get(toolbar, u"Visible"), Variant(false));
  put(toolbar, u"Visible", int16_t{1});
  EXPECT_EQ(get(toolbar, u"Visible"), Variant(true));
  EXPECT_EQ(host_.dumpHost()["menugroups"], nlohmann::json::parse(R"([
      {"name": "ACAD", "toolbars": []},
      {"name": "QORNCAD", "toolbars": [{"tagstring": "ID_KVM", "visible": true}]}])"));
}

TEST_F(ApplicationTest, desktop_configuration) {
  EXPECT_FALSE(host_.shiftDown());
  EXPECT_FALSE(host_.today().has_value());
  EXPECT_EQ(host_.screenWidth(), 1920);
  host_.configure(nlohmann::json::parse(
      R"({"shift": true, "today": "2016-02-29", "screen": {"width": 800, "height": 600}})"));
  EXPECT_TRUE(host_.shiftDown());
  ASSERT_TRUE(host_.today().has_value());
  EXPECT_EQ(host_.today()->year, 2016);
  EXPECT_EQ(host_.today()->month, 2);
  EXPECT_EQ(host_.today()->day, 29);
  EXPECT_EQ(host_.screenHeight(), 600);
}

TEST_F(ApplicationTest, malformed_configuration_is_refused_by_key) {
  for (const char* config :
       {R"({"colour": 1})", R"({"version": 16})", R"({"today": "2015-02-29"})",
        R"({"today": "2016/03/02"})", R"({"documents": "a.dwg"})", R"({"shift": 1})",
        R"({"menugroups": [{"toolbars": []}]})", R"({"sysvars": {"A": [1]}})",
        R"({"screen": {"width": 0, "height": 10}})", R"([1])"}) {
    EXPECT_THROW(host_.configure(nlohmann::json::parse(config)), std::invalid_argument) << config;
  }
}

}  // namespace
}  // namespace kvm::sim
