#include "platform/win32/automation_error.h"

#include <new>

#include "base/text.h"
#include "platform/win32/bstr.h"

namespace kvm::win32 {

namespace {

constexpr int32_t kInternalError = 51;
constexpr int32_t kAutomationError = 440;

bool isPlainNumber(int32_t number) {
  return number > 0 && number <= 0xFFFF;
}

// The numbers the runtime gives for the standard dispatch failures.
int32_t numberOfResult(HRESULT result) {
  switch (result) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: return err::kMemberNotFound;
    case DISP_E_TYPEMISMATCH: return err::kTypeMismatch;
    case DISP_E_OVERFLOW: return err::kOverflow;
    case DISP_E_BADPARAMCOUNT: return err::kWrongArgumentCount;
    case DISP_E_PARAMNOTOPTIONAL:
    case DISP_E_PARAMNOTFOUND: return err::kArgumentNotOptional;
    case DISP_E_BADINDEX: return err::kSubscriptOutOfRange;
    case DISP_E_DIVBYZERO: return err::kDivisionByZero;
    case E_OUTOFMEMORY: return err::kOutOfMemory;
    case E_INVALIDARG: return err::kInvalidCall;
    default: break;
  }
  if (HRESULT_FACILITY(result) == FACILITY_CONTROL) {
    return HRESULT_CODE(result);
  }
  return static_cast<int32_t>(result);
}

}  // namespace

HRESULT scodeOf(int32_t number) {
  if (isPlainNumber(number)) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<unsigned>(number));
  }
  const auto result = static_cast<HRESULT>(number);
  // Only a failure code can stand for itself; anything else would read as success.
  return FAILED(result) ? result : E_FAIL;
}

HRESULT reportError(const RuntimeError& error, EXCEPINFO* exception) noexcept {
  const HRESULT scode = scodeOf(error.number());
  if (exception == nullptr) {
    return scode;
  }
  *exception = EXCEPINFO{};
  exception->scode = scode;
  exception->bstrSource = SysAllocString(kErrorSource);
  const auto& description = error.description();
  exception->bstrDescription = SysAllocStringLen(
      reinterpret_cast<const OLECHAR*>(description.data()), static_cast<UINT>(description.size()));
  return DISP_E_EXCEPTION;
}

RuntimeError errorFromInvoke(HRESULT result, EXCEPINFO& exception) {
  if (result != DISP_E_EXCEPTION) {
    return errorFromResult(result);
  }
  if (exception.pfnDeferredFillIn != nullptr) {
    exception.pfnDeferredFillIn(&exception);
  }
  std::u16string description = fromBstr(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  exception.bstrSource = exception.bstrDescription = exception.bstrHelpFile = nullptr;

  int32_t number = 0;
  if (exception.wCode != 0) {
    number = exception.wCode;
  } else if (FAILED(exception.scode)) {
    number = numberOfResult(exception.scode);
  } else {
    number = kAutomationError;
  }
  if (description.empty()) {
    description = standardDescription(number);
  }
  return {number, std::move(description)};
}

RuntimeError errorFromResult(HRESULT result) {
  const int32_t number = numberOfResult(result);
  if (isPlainNumber(number)) {
    return RuntimeError(number);
  }
  return {number, u"Automation error"};
}

void check(HRESULT result) {
  if (FAILED(result)) {
    throw errorFromResult(result);
  }
}

RuntimeError currentError() noexcept {
  try {
    throw;
  } catch (const RuntimeError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return RuntimeError(err::kOutOfMemory);
  } catch (const std::exception& error) {
    return {kInternalError, fromUtf8(error.what())};
  } catch (...) {
    return {kInternalError, u"Internal error"};
  }
}

}  // namespace kvm::win32
