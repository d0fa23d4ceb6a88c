#include "platform/sim/lisp/environment.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "lisp_error.h"
#include "platform/sim/lisp/printer.h"

namespace kvm::sim {
namespace {

// An environment over a small table of system variables, as a drawing gives one.
class LispEnvironmentTest : public ::testing::Test {
 protected:
  LispEnvironmentTest()
      : environment_({[this](std::u16string_view name) -> std::optional<LispValue> {
                        const auto it = sysvars_.find(std::u16string(name));
                        if (it == sysvars_.end()) {
                          return std::nullopt;
                        }
                        return LispValue::string(it->second);
                      },
                      [this](std::u16string_view name, const LispValue& value) {
                        const auto it = sysvars_.find(std::u16string(name));
                        if (it == sysvars_.end() || !value.isString()) {
                          return false;
                        }
                        it->second = value.stringValue();
                        return true;
                      }}) {}

  std::string eval(std::u16string_view text) {
    return toUtf8(printLisp(environment_.evaluateText(text)));
  }

  std::map<std::u16string, std::u16string> sysvars_{{u"USERS1", u""}, {u"USERS2", u""}};
  LispEnvironment environment_;
};

TEST_F(LispEnvironmentTest, arithmetic_keeps_integers_and_promotes_to_reals) {
  EXPECT_EQ(environment_.evaluateText(u"(+ 1 2)"), LispValue::integer(3));
  EXPECT_EQ(eval(u"(- 10 4 1)"), "5");
  EXPECT_EQ(eval(u"(- 5)"), "-5");
  EXPECT_EQ(eval(u"(* 2 3 4)"), "24");
  EXPECT_EQ(eval(u"(/ 7 2)"), "3");
  EXPECT_EQ(eval(u"(/ -7 2)"), "-3");
  EXPECT_EQ(eval(u"(/ 7 2 2.0)"), "1.5");
  EXPECT_EQ(eval(u"(+ 1 2.5)"), "3.5");
  EXPECT_EQ(eval(u"(+ 1.0 2)"), "3.0");
  EXPECT_EQ(eval(u"(+)"), "0");
  EXPECT_EQ(eval(u"(+ 2147483647 1)"), "-2147483648");
  EXPECT_EQ(eval(u"(/ -2147483648 -1)"), "-2147483648");
}

TEST_F(LispEnvironmentTest, arithmetic_failures_carry_the_engine_messages) {
  EXPECT_LISP_ERROR(eval(u"(/ 1 0)"), "divide by zero");
  EXPECT_LISP_ERROR(eval(u"(/ 1.5 0.0)"), "divide by zero");
  EXPECT_LISP_ERROR(eval(u"(+ 1 \"a\")"), "bad argument type: numberp: \"a\"");
  EXPECT_LISP_ERROR(eval(u"(* 'x 2)"), "bad argument type: numberp: X");
  EXPECT_LISP_ERROR(eval(u"(- nil)"), "bad argument type: numberp: nil");
}

TEST_F(LispEnvironmentTest, comparisons) {
  EXPECT_EQ(eval(u"(= 1 1.0)"), "T");
  EXPECT_EQ(eval(u"(= \"a\" \"a\")"), "T");
  EXPECT_EQ(eval(u"(< 1 2 3)"), "T");
  EXPECT_EQ(eval(u"(< 1 3 2)"), "nil");
  EXPECT_EQ(eval(u"(> 2 1)"), "T");
  EXPECT_EQ(eval(u"(/= 1 2)"), "T");
}

TEST_F(LispEnvironmentTest, unknown_functions_are_named_in_upper_case) {
  EXPECT_LISP_ERROR(eval(u"(lstdang gong jkdag)"), "no function definition: LSTDANG");
  EXPECT_LISP_ERROR(eval(u"(1 2)"), "bad function: 1");
}

TEST_F(LispEnvironmentTest, setq_progn_if_and_quote) {
  EXPECT_EQ(eval(u"(setq a 1 b (+ a 1))"), "2");
  EXPECT_EQ(eval(u"(progn a b)"), "2");
  EXPECT_EQ(eval(u"(if (= a 1) \"yes\" \"no\")"), "\"yes\"");
  EXPECT_EQ(eval(u"(if nil 1)"), "nil");
  EXPECT_EQ(eval(u"'(a \"b\" 1)"), "(A \"b\" 1)");
  EXPECT_EQ(eval(u"(and 1 nil)"), "nil");
  EXPECT_EQ(eval(u"(or nil 2)"), "T");
  EXPECT_EQ(eval(u"undefined"), "nil");
  EXPECT_EQ(eval(u"T"), "T");
  EXPECT_LISP_ERROR(eval(u"(setq a)"), "too few arguments");
  EXPECT_LISP_ERROR(eval(u"(setq 1 2)"), "bad argument type: symbolp: 1");
  EXPECT_LISP_ERROR(eval(u"(if)"), "too few arguments");
  EXPECT_LISP_ERROR(eval(u"(quote a b)"), "too many arguments");
}

TEST_F(LispEnvironmentTest, defun_defines_a_callable_function_with_dynamic_bindings) {
  EXPECT_EQ(eval(u"(defun twice (x / tmp) (setq tmp (* x 2)) tmp)"), "TWICE");
  EXPECT_EQ(eval(u"(setq x 100 tmp \"outer\")"), "\"outer\"");
  EXPECT_EQ(eval(u"(twice 21)"), "42");
  EXPECT_EQ(eval(u"(list x tmp)"), "(100 \"outer\")");
  EXPECT_LISP_ERROR(eval(u"(twice)"), "too few arguments");
  EXPECT_LISP_ERROR(eval(u"(twice 1 2)"), "too many arguments");
  EXPECT_EQ(eval(u"((lambda (a b) (+ a b)) 1 2)"), "3");
  EXPECT_EQ(environment_.functionNames(), std::vector<std::u16string>{u"TWICE"});
}

TEST_F(LispEnvironmentTest, bindings_are_restored_when_the_body_fails) {
  eval(u"(defun bad (x) (/ x 0))");
  eval(u"(setq x \"kept\")");
  EXPECT_LISP_ERROR(eval(u"(bad 1)"), "divide by zero");
  EXPECT_EQ(eval(u"x"), "\"kept\"");
}

TEST_F(LispEnvironmentTest, document_variables) {
  EXPECT_EQ(eval(u"(vl-doc-set'jl\"ssadd\")"), "\"ssadd\"");
  EXPECT_EQ(eval(u"(vl-doc-ref 'jl)"), "\"ssadd\"");
  EXPECT_EQ(environment_.variable(u"jl"), LispValue::string(u"ssadd"));
  EXPECT_EQ(eval(u"(progn(vl-doc-set'il nil)(vl-doc-set'jl nil)(vl-doc-set'kl nil))"), "nil");
  EXPECT_TRUE(environment_.variables().empty());
  EXPECT_LISP_ERROR(eval(u"(vl-doc-set \"jl\" 1)"), "bad argument type: symbolp: \"jl\"");
}

TEST_F(LispEnvironmentTest, bridge_function_reads_and_evaluates_a_system_variable) {
  sysvars_[u"USERS1"] = u"\"(lstdang gong jkdag)\"";
  sysvars_[u"USERS2"] = u"(defun f3e(a) (eval (read (getvar (strcat \"users\" (itoa a))))))";
  EXPECT_EQ(eval(u"(eval (read (getvar \"users2\")))"), "F3E");
  EXPECT_EQ(environment_.evaluateText(u"(f3e 1)"), LispValue::string(u"(lstdang gong jkdag)"));
  EXPECT_EQ(eval(u"(getvar \"nosuch\")"), "nil");
  EXPECT_EQ(eval(u"(setvar \"users1\" \"x\")"), "\"x\"");
  EXPECT_EQ(sysvars_[u"USERS1"], u"x");
  EXPECT_LISP_ERROR(eval(u"(setvar \"nosuch\" 1)"),
                    "AutoCAD variable setting rejected: \"nosuch\" 1");
}

TEST_F(LispEnvironmentTest, string_and_list_functions) {
  EXPECT_EQ(eval(u"(strcat \"users\" (itoa 2))"), "\"users2\"");
  EXPECT_EQ(eval(u"(atoi \" 42abc\")"), "42");
  EXPECT_EQ(eval(u"(atoi \"-3.9\")"), "-3");
  EXPECT_EQ(eval(u"(rtos 2.5)"), "\"2.5000\"");
  EXPECT_EQ(eval(u"(rtos 2.5 2 1)"), "\"2.5\"");
  EXPECT_EQ(eval(u"(car '(1 2 3))"), "1");
  EXPECT_EQ(eval(u"(cdr '(1 2 3))"), "(2 3)");
  EXPECT_EQ(eval(u"(cdr '(1))"), "nil");
  EXPECT_EQ(eval(u"(car nil)"), "nil");
  EXPECT_EQ(eval(u"(cons 1 2)"), "(1 . 2)");
  EXPECT_EQ(eval(u"(cdr '(1 . 2))"), "2");
  EXPECT_EQ(eval(u"(princ \"x\")"), "\"x\"");
  EXPECT_EQ(eval(u"(eval '(+ 1 2))"), "3");
  EXPECT_EQ(eval(u"(read \"(a b)\")"), "(A B)");
  EXPECT_LISP_ERROR(eval(u"(itoa 1.5)"), "bad argument type: fixnump: 1.5");
  EXPECT_LISP_ERROR(eval(u"(strcat \"a\" 1)"), "bad argument type: stringp: 1");
  EXPECT_LISP_ERROR(eval(u"(car 1)"), "bad argument type: consp: 1");
  EXPECT_LISP_ERROR(eval(u"(itoa)"), "too few arguments");
}

TEST_F(LispEnvironmentTest, host_commands_are_called_with_evaluated_arguments) {
  std::vector<LispValue> seen;
  environment_.defineHostCommand(u"C:KavelmorList", [&seen](const std::vector<LispValue>& args) {
    seen = args;
    return LispValue();
  });
  EXPECT_EQ(eval(u"(progn(defun C:BL()(C:KavelmorList))1)"), "1");
  EXPECT_EQ(eval(u"(c:bl)"), "nil");
  EXPECT_TRUE(seen.empty());
  eval(u"(c:kavelmorlist (+ 1 1))");
  EXPECT_EQ(seen, std::vector<LispValue>{LispValue::integer(2)});
  EXPECT_EQ(environment_.functionNames(), std::vector<std::u16string>{u"C:BL"});
}

TEST_F(LispEnvironmentTest, runaway_recursion_and_growth_fail_cleanly) {
  eval(u"(defun loop (n) (loop (+ n 1)))");
  EXPECT_LISP_ERROR(eval(u"(loop 0)"), "internal stack limit reached");
  eval(u"(defun nest (n) (if (= n 0) nil (list (nest (- n 1)))))");
  EXPECT_LISP_ERROR(eval(u"(nest 5000)"), "internal stack limit reached");
  std::u16string deep;
  for (int i = 0; i < 900; ++i) {
    deep += u"(+ 1 ";
  }
  deep += u"0" + std::u16string(900, u')');
  EXPECT_LISP_ERROR(eval(deep), "internal stack limit reached");
  // The environment stays usable after a failure.
  EXPECT_EQ(eval(u"(+ 1 2)"), "3");
  std::u16string doubling = u"(progn (setq s \"0123456789abcdef\")";
  for (int i = 0; i < 40; ++i) {
    doubling += u"(setq s (strcat s s))";
  }
  EXPECT_LISP_ERROR(eval(doubling + u")"), "string too long");
}

TEST_F(LispEnvironmentTest, endless_work_fails_instead_of_holding_the_host) {
  eval(u"(defun fork (n) (if (> n 0) (progn (fork (- n 1)) (fork (- n 1)))))");
  EXPECT_LISP_ERROR(eval(u"(fork 40)"), "evaluation limit reached");
  EXPECT_EQ(eval(u"(fork 3)"), "nil");  // each evaluation gets its own budget

  std::u16string greedy = u"(progn (setq s \"0123456789abcdef\")";
  for (int i = 0; i < 15; ++i) {
    greedy += u"(setq s (strcat s s))";  // 512K units
  }
  for (int i = 0; i < 20; ++i) {
    greedy += u"(setq s" + decimal(i) + u" (strcat s s))";
  }
  EXPECT_LISP_ERROR(eval(greedy + u")"), "insufficient string space");
}

// Random programs over the engine's own words either evaluate or fail with error 5.
TEST_F(LispEnvironmentTest, arbitrary_programs_never_break_the_engine) {
  const std::vector<std::u16string> words{
      u"(",  u"(",     u"(",      u")",    u")",    u"'",      u"x",          u"f",
      u"1",  u"2.5",   u"\"s\"",  u"nil",  u"t",    u"setq",   u"defun",      u"lambda",
      u"if", u"progn", u"eval",   u"read", u"list", u"car",    u"cdr",        u"cons",
      u"+",  u"/",     u"strcat", u"=",    u"/",    u"getvar", u"vl-doc-set", u"."};
  std::mt19937 random(2024);
  std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
  std::uniform_int_distribution<int> length(1, 30);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text = u"(";
    for (int i = length(random); i > 0; --i) {
      text += words[pick(random)] + u" ";
    }
    text += std::u16string(40, u')');  // mostly balanced; the surplus is never read
    try {
      (void)printLisp(environment_.evaluateText(text));
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), 5) << toUtf8(text);
    }
  }
}

}  // namespace
}  // namespace kvm::sim
