#pragma once

#include "platform/win32/windows_headers.h"

#include <cstdint>

#include "base/runtime_error.h"

namespace kvm::win32 {

// How a run-time error crosses a COM boundary, both ways.
//
// An error with a number from 1 to 65535 travels as DISP_E_EXCEPTION with EXCEPINFO
// scode = 0x800A0000 + number (severity error, FACILITY_CONTROL), wCode = 0, bstrSource
// "Kavelmor" and bstrDescription the description: the form in which late-bound callers give
// back the plain number. A negative number is taken to be an HRESULT and goes as scode as it
// is; any other goes as E_FAIL.
inline constexpr const wchar_t* kErrorSource = L"Kavelmor";

HRESULT scodeOf(int32_t number);

// Fills EXCEPINFO (when given) and returns the HRESULT that Invoke answers with.
HRESULT reportError(const RuntimeError& error, EXCEPINFO* exception) noexcept;

// Runs body and turns anything it throws into reportError's answer; nothing thrown crosses.
template <class Body>
HRESULT guardInvoke(EXCEPINFO* exception, Body&& body) noexcept;

// The run-time error a failed Invoke stands for. Takes the EXCEPINFO's strings.
RuntimeError errorFromInvoke(HRESULT result, EXCEPINFO& exception);
// The run-time error a failed call other than Invoke stands for.
RuntimeError errorFromResult(HRESULT result);

// Throws errorFromResult when result is a failure.
void check(HRESULT result);

RuntimeError currentError() noexcept;  // inside a catch block: the exception as a run-time error

template <class Body>
HRESULT guardInvoke(EXCEPINFO* exception, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return reportError(currentError(), exception);
  }
}

}  // namespace kvm::win32
