#pragma once

#include <string>

#include "dispatch/dispatch.h"
#include "ui/ui.h"

namespace kvm {

// The integer an evaluation gives back when it has given up.
inline constexpr int16_t kLispFailureMarker = -11;

// The texts the component leaves for the companion application.
inline constexpr std::u16string_view kUsers1Text = u"\"(lstdang gong jkdag)\"";
inline constexpr std::u16string_view kUsers2Text =
    u"(defun f3e(a) (eval (read (getvar (strcat \"users\" (itoa a))))))";
inline constexpr std::u16string_view kBridgeStartText = u"(vl-doc-set'jl\"ssadd\")";
inline constexpr std::u16string_view kBridgeEndText =
    u"(progn(vl-doc-set'il nil)(vl-doc-set'jl nil)(vl-doc-set'kl nil))";

// The Visual LISP program identifier for a host version: hosts of release 15 have the old one.
std::u16string visualLispProgramId(std::u16string_view hostVersion);

// Evaluates one AutoLISP expression through a Functions collection: read, then eval. A failing
// evaluation is tried five times in all; then the error is shown, titled with its number and the
// text's last two characters, and the failure marker comes back.
Variant evaluateLisp(const DispatchPtr& functions, const std::u16string& text, Ui& ui);

}  // namespace kvm
