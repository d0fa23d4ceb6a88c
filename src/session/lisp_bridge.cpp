#include "session/lisp_bridge.h"

#include <optional>

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm {

std::u16string visualLispProgramId(std::u16string_view hostVersion) {
  return hostVersion.substr(0, 2) == u"15" ? u"VL.Application.1" : u"VL.Application.16";
}

namespace {

constexpr int kAttempts = 5;

Variant readAndEval(const DispatchPtr& functions, const std::u16string& text) {
  std::vector<Variant> readArgs{text};
  const auto reader = getObject(functions, u"Item", {u"read"});
  Variant form = callByRef(reader, u"funcall", readArgs);
  const auto evaluator = getObject(functions, u"Item", {u"eval"});
  return call(evaluator, u"funcall", {std::move(form)});
}

std::u16string lastTwoCharacters(const std::u16string& text) {
  return text.size() <= 2 ? text : text.substr(text.size() - 2);
}

}  // namespace

Variant evaluateLisp(const DispatchPtr& functions, const std::u16string& text, Ui& ui) {
  std::optional<RuntimeError> lastError;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    try {
      return readAndEval(functions, text);
    } catch (const RuntimeError& error) {
      lastError = error;
    }
  }
  ui.messageBox(lastError->description(),
                decimal(lastError->number()) + u"," + lastTwoCharacters(text), MsgIcon::Information,
                MsgButtons::Ok);
  return Variant(kLispFailureMarker);
}

}  // namespace kvm
