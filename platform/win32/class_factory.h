#pragma once

#include "platform/win32/windows_headers.h"

#include <atomic>

#include "platform/win32/com_ptr.h"
#include "platform/win32/server_module.h"

namespace kvm::win32 {

// Makes `clsKavelmor` objects for CoCreateInstance.
// COM interfaces have no virtual destructor; objects end through Release, never by delete
// through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ClassFactory final : public IClassFactory {
 public:
  ClassFactory() = default;
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;
  ClassFactory(ClassFactory&&) = delete;
  ClassFactory& operator=(ClassFactory&&) = delete;
  virtual ~ClassFactory() = default;

  static ComPtr<ClassFactory> make();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ModuleObjectCount count_;
  std::atomic<ULONG> references_{1};
};
#pragma GCC diagnostic pop

}  // namespace kvm::win32
