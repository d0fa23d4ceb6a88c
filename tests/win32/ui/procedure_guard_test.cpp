#include "platform/win32/ui/procedure_guard.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/runtime_error.h"
#include "platform/win32/ui/form_desktop.h"
#include "tests/win32/ui/windows_can_show.h"
#include "ui/form.h"

namespace kvm::win32 {
namespace {

// A dialog whose handler of the close box fails, as a model handler may.
class FailingDialog final : public Form {
 public:
  explicit FailingDialog(std::shared_ptr<Ui> ui) : Form(std::move(ui), u"frmFailing") {
    setSize(3000, 2000);
    finishDesign();
  }

  int asked = 0;

 protected:
  void onQueryUnload(bool& /*cancel*/) override {
    ++asked;
    raise(err::kPermissionDenied);
  }
};

TEST(procedure_guard, a_handlers_failure_ends_the_dialog_and_reaches_the_method) {
  if (!windowsCanShow()) {
    GTEST_SKIP() << "no windows without a display";
  }
  auto desktop = makeFormDesktop([] { return HWND{}; });
  FailingDialog dialog(desktop);
  dialog.load();
  PostMessageW(formWindowOf(*desktop, dialog), WM_CLOSE, 0, 0);
  try {
    dialog.showModal();
    FAIL() << "the dialog ended without the handler's failure";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), err::kPermissionDenied);
  }
  EXPECT_EQ(dialog.asked, 1);
  EXPECT_FALSE(windowExceptionKept());
}

TEST(procedure_guard, outside_a_dialog_a_failure_is_dropped) {
  EXPECT_EQ(guardProcedure([]() -> LRESULT { raise(err::kOverflow); }, 7), 7);
  EXPECT_FALSE(windowExceptionKept());
  EXPECT_NO_THROW(rethrowWindowException());
}

TEST(procedure_guard, inside_a_loop_the_first_failure_is_kept) {
  const ModalLoopScope loop;
  guardProcedure([]() -> LRESULT { raise(err::kOverflow); });
  guardProcedure([]() -> LRESULT { raise(err::kTypeMismatch); });
  ASSERT_TRUE(windowExceptionKept());
  try {
    rethrowWindowException();
    FAIL() << "nothing thrown";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), err::kOverflow);
  }
  EXPECT_FALSE(windowExceptionKept());
}

}  // namespace
}  // namespace kvm::win32
