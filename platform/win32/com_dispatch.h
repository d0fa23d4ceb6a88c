#pragma once

#include "platform/win32/windows_headers.h"

#include <map>
#include <string>

#include "dispatch/dispatch.h"
#include "platform/win32/com_ptr.h"

namespace kvm::win32 {

// A COM object reached late bound (the CAD host's application, documents, texts, the LISP
// functions) seen as the core's Dispatch: members by name through GetIDsOfNames and Invoke.
//
// Every argument is passed by reference (VT_BYREF | VT_VARIANT), as a caller passing its
// variables does, and what the callee leaves in it comes back into the argument list.
class ComDispatch final : public Dispatch {
 public:
  explicit ComDispatch(ComPtr<IDispatch> object);

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override;

  [[nodiscard]] IDispatch* comObject() const { return object_.get(); }

 private:
  DISPID memberId(std::u16string_view name);

  ComPtr<IDispatch> object_;
  std::map<std::u16string, DISPID, std::less<>> ids_;
};

// The core's view of a COM object: the core object itself when it came from this module,
// otherwise a ComDispatch around it.
DispatchPtr wrapComObject(IDispatch* object);

}  // namespace kvm::win32
