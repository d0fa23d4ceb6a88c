#pragma once

#include "platform/win32/dispatch_com_object.h"
#include "platform/win32/server_module.h"

namespace kvm::win32 {

// The `clsKavelmor` object as the host sees it: IDispatch with the members of
// `_clsKavelmor`, names resolved case-insensitively, DISPID = position in interface order + 1,
// arguments converted to the declared parameter types before the member runs, and the type
// information of the interface.
class ComponentObject final : public AutomationObject {
 public:
  explicit ComponentObject(DispatchPtr component);
  ComponentObject(const ComponentObject&) = delete;
  ComponentObject& operator=(const ComponentObject&) = delete;
  ComponentObject(ComponentObject&&) = delete;
  ComponentObject& operator=(ComponentObject&&) = delete;
  ~ComponentObject() override;  // the component's end runs here

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  [[nodiscard]] DispatchPtr coreObject() const override { return component_; }

 protected:
  std::vector<Variant> prepareArguments(std::u16string_view name,
                                        std::vector<Variant> args) override;
  Variant prepareResult(std::u16string_view name, Variant value) override;
  [[nodiscard]] WriteBack writeBackRule(std::u16string_view name, std::size_t index) const override;

 private:
  ModuleObjectCount count_;  // first in, last out: the end below runs while it still counts
  DispatchPtr component_;
};

}  // namespace kvm::win32
