#pragma once

#include "platform/win32/windows_headers.h"

#include <atomic>
#include <string>
#include <vector>

#include "dispatch/dispatch.h"
#include "platform/win32/com_ptr.h"

namespace kvm::win32 {

// Reference counting and QueryInterface for the IDispatch objects of this module. An object
// lives on the heap and ends itself when its last reference goes.
// COM interfaces have no virtual destructor; objects end through Release, never by delete
// through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AutomationObject : public IDispatch {
 public:
  AutomationObject() { ++liveCount(); }
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;
  AutomationObject(AutomationObject&&) = delete;
  AutomationObject& operator=(AutomationObject&&) = delete;
  virtual ~AutomationObject() { --liveCount(); }

  // How many objects of this module are alive: the DLL and a program using it each count
  // their own, so a program sees whether the server still holds any object it was given.
  static long liveObjects() noexcept { return liveCount(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;

  // The core object behind this COM object, if there is one.
  [[nodiscard]] virtual DispatchPtr coreObject() const = 0;

  // Creates an object of class T with one reference, owned by the result.
  template <class T, class... Args>
  static ComPtr<T> make(Args&&... args);

 protected:
  // Converts the arguments (last to first in DISPPARAMS), calls the core object and writes
  // by-reference arguments back; whatever fails becomes DISP_E_EXCEPTION.
  HRESULT callCore(Dispatch& target, std::u16string_view name, InvokeKind kind,
                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception) noexcept;

  // Hook for the component: converts the arguments to declared types before the call.
  virtual std::vector<Variant> prepareArguments(std::u16string_view name,
                                                std::vector<Variant> args);
  // Which arguments go back to a caller who passed them by reference: by default those the
  // core object changed; the component: exactly its by-reference parameters.
  enum class WriteBack : uint8_t { Never, IfChanged, Always };
  [[nodiscard]] virtual WriteBack writeBackRule(std::u16string_view name, std::size_t index) const;

  // Hook for the component: converts the result to the declared type.
  virtual Variant prepareResult(std::u16string_view name, Variant value);

 private:
  static std::atomic<long>& liveCount() noexcept {
    static std::atomic<long> count{0};
    return count;
  }

  std::atomic<ULONG> references_{1};
};
#pragma GCC diagnostic pop

// A core Dispatch seen from COM as an IDispatch (the simulated host handed to the component
// in the Windows tests, and any object the component gives back). Names get DISPIDs the
// first time they are asked for, per object; the core object decides at the call whether a
// member exists.
class DispatchComObject final : public AutomationObject {
 public:
  explicit DispatchComObject(DispatchPtr target);

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  [[nodiscard]] DispatchPtr coreObject() const override { return target_; }

 private:
  DispatchPtr target_;
  std::vector<std::u16string> names_;  // DISPID n is names_[n - 1]
};

// The COM face of a core object: the original COM object when the core object wraps one,
// otherwise a new DispatchComObject.
ComPtr<IDispatch> exposeDispatch(const DispatchPtr& object);

// The core object behind an IDispatch of this module, or null (also for other modules'
// objects, whose C++ types are not ours to use).
DispatchPtr coreObjectOf(IDispatch* object);

// Which core kind of call a set of DISPATCH_ flags asks for.
InvokeKind invokeKindOf(WORD flags);

template <class T, class... Args>
ComPtr<T> AutomationObject::make(Args&&... args) {
  auto owner = std::make_unique<T>(std::forward<Args>(args)...);
  return ComPtr<T>::attach(owner.release());  // the object's own count owns it from here
}

}  // namespace kvm::win32
