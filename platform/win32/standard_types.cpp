#include "platform/win32/standard_types.h"

#include "platform/win32/automation_error.h"

namespace kvm::win32 {

ComPtr<ITypeInfo> dispatchBaseType() {
  ComPtr<ITypeLib> stdole;
  check(LoadRegTypeLib(IID_StdOle, STDOLE2_MAJORVERNUM, STDOLE2_MINORVERNUM, STDOLE2_LCID,
                       stdole.put()));
  ComPtr<ITypeInfo> dispatch;
  check(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatch.put()));
  return dispatch;
}

}  // namespace kvm::win32
