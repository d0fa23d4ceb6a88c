#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "platform/win32/windows_headers.h"
#include "tests/win32/typelib_host/host_type_library.h"

namespace kvm::win32::testing {

using Point = std::array<double, 3>;

// One text that the host's model space holds: how it was added and each property as it was
// set, in order ("Alignment 10", "Layer BJ-清单", ...).
struct HostText {
  std::wstring text;
  Point insertion{};
  double height = 0;
  std::vector<std::wstring> properties;
  std::optional<Point> alignmentPoint;
};

// What the host saw and holds: every call in order ("Documents.Item 2", "read.funcall (+ 1 2)",
// ...), its system variables, the texts of its model space; and what its LISP engine answers
// for which texts (anything else evaluates to nil).
struct HostState {
  std::vector<std::wstring> calls;
  std::map<std::wstring, std::wstring> variables;
  std::vector<std::shared_ptr<HostText>> texts;
  std::map<std::wstring, long> lispResults;
};

struct HostSetup {
  std::vector<std::wstring> documentNames{L"Drawing1.dwg"};  // the first is the active one
  std::wstring version = L"17.2s (LMS Tech)";
  long mainWindow = 0x20A4E;
};

// The host application over the object model of `library`: its objects answer through the
// system's dispatch over the type information (DispInvoke), as type-library hosts do.
ComPtr<IDispatch> makeHostApplication(const HostTypeLibrary& library,
                                      const std::shared_ptr<HostState>& state,
                                      const HostSetup& setup);

// Reads a point as hosts take one: an array of three numbers.
Point readPoint(const VARIANT& value);

}  // namespace kvm::win32::testing
