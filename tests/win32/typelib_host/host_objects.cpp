#include "tests/win32/typelib_host/host_objects.h"

#include <sstream>
#include <utility>

#include "platform/win32/com_variant.h"

namespace kvm::win32::testing {

namespace {

// IUnknown and IDispatch of a host object; the object's own members follow in the vtable in
// the order of its interface in the type library, so DispInvoke can call them. Nothing else may
// enter the vtable, a virtual destructor neither: Release deletes the object by its own type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class Derived, HostInterface kInterface>
class HostObject : public IDispatch {
 public:
  HostObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state)
      : info_(ComPtr<ITypeInfo>::retain(library.info(kInterface))),
        iid_(library.iid(kInterface)),
        state_(std::move(state)) {}
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;
  HostObject(HostObject&&) = delete;
  HostObject& operator=(HostObject&&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) final {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, iid_)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() final { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() final {
    const ULONG left = --references_;
    if (left == 0) {
      delete static_cast<Derived*>(this);  // NOLINT: the COM object's own reference count
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) final {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID /*locale*/, ITypeInfo** info) final {
    if (index != 0) {
      return DISP_E_BADINDEX;
    }
    info_->AddRef();
    *info = info_.get();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT count,
                                          LCID /*locale*/, DISPID* ids) final {
    return DispGetIDsOfNames(info_.get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID /*iid*/, LCID /*locale*/, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) final {
    return DispInvoke(this, info_.get(), id, flags, parameters, result, exception, argumentError);
  }

 protected:
  ~HostObject() = default;
  HostState& state() { return *state_; }
  [[nodiscard]] const std::shared_ptr<HostState>& sharedState() const { return state_; }

 private:
  ComPtr<ITypeInfo> info_;
  IID iid_;
  std::shared_ptr<HostState> state_;
  ULONG references_ = 1;
};

template <class T, class... Arguments>
ComPtr<T> make(Arguments&&... arguments) {
  return ComPtr<T>::attach(new T(std::forward<Arguments>(arguments)...));  // NOLINT: COM object
}

template <class T>
HRESULT handOut(const ComPtr<T>& object, IDispatch** result) {
  object->AddRef();
  *result = object.get();
  return S_OK;
}

HRESULT handOut(const std::wstring& text, BSTR* result) {
  *result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *result == nullptr ? E_OUTOFMEMORY : S_OK;
}

// A value as text, whether it came by value or by reference.
std::wstring textOf(const VARIANT& value) {
  ComVariant copy;
  ComVariant text;
  VARIANT source = value;  // the system's signature is not const; it only reads
  if (FAILED(VariantCopyInd(&copy.get(), &source)) ||
      FAILED(VariantChangeType(&text.get(), &copy.get(), 0, VT_BSTR))) {
    return L"<not a text>";
  }
  return {text.get().bstrVal, SysStringLen(text.get().bstrVal)};
}

std::wstring numberText(double value) {
  std::wostringstream text;
  text << value;
  return text.str();
}

std::wstring pointText(const Point& point) {
  return numberText(point[0]) + L"," + numberText(point[1]) + L"," + numberText(point[2]);
}

VARIANT pointVariant(const Point& point) {
  VARIANT value;
  VariantInit(&value);
  SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 3);
  for (LONG i = 0; i < 3; ++i) {
    double element = point.at(static_cast<std::size_t>(i));
    SafeArrayPutElement(array, &i, &element);
  }
  value.vt = VT_ARRAY | VT_R8;
  value.parray = array;
  return value;
}

class TextObject final : public HostObject<TextObject, HostInterface::Text> {
 public:
  TextObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state,
             std::shared_ptr<HostText> text)
      : HostObject(library, std::move(state)), text_(std::move(text)) {}

  virtual HRESULT STDMETHODCALLTYPE putAlignment(LONG value) {
    return note(L"Alignment " + std::to_wstring(value));
  }
  virtual HRESULT STDMETHODCALLTYPE putTextAlignmentPoint(VARIANT value) {
    const Point point = readPoint(value);
    text_->alignmentPoint = point;
    return note(L"TextAlignmentPoint " + pointText(point));
  }
  virtual HRESULT STDMETHODCALLTYPE putStyleName(BSTR value) {
    return note(L"StyleName " + std::wstring(value, SysStringLen(value)));
  }
  virtual HRESULT STDMETHODCALLTYPE putLayer(BSTR value) {
    return note(L"Layer " + std::wstring(value, SysStringLen(value)));
  }
  virtual HRESULT STDMETHODCALLTYPE putScaleFactor(double value) {
    return note(L"ScaleFactor " + numberText(value));
  }
  virtual HRESULT STDMETHODCALLTYPE putColor(LONG value) {
    return note(L"color " + std::to_wstring(value));
  }
  virtual HRESULT STDMETHODCALLTYPE putLinetype(BSTR value) {
    return note(L"Linetype " + std::wstring(value, SysStringLen(value)));
  }
  virtual HRESULT STDMETHODCALLTYPE putLinetypeScale(double value) {
    return note(L"LinetypeScale " + numberText(value));
  }
  virtual HRESULT STDMETHODCALLTYPE putLineweight(LONG value) {
    return note(L"Lineweight " + std::to_wstring(value));
  }
  // The box of a text at its alignment point, each character 0.7 of the height wide.
  virtual HRESULT STDMETHODCALLTYPE GetBoundingBox(VARIANT* minPoint, VARIANT* maxPoint) {
    const Point corner = text_->alignmentPoint.value_or(text_->insertion);
    const double width = 0.7 * text_->height * static_cast<double>(text_->text.size());
    VariantClear(minPoint);
    VariantClear(maxPoint);
    *minPoint = pointVariant({corner[0], corner[1] - text_->height, corner[2]});
    *maxPoint = pointVariant({corner[0] + width, corner[1], corner[2]});
    return S_OK;
  }

 private:
  HRESULT note(std::wstring property) {
    text_->properties.push_back(std::move(property));
    return S_OK;
  }

  std::shared_ptr<HostText> text_;
};

class ModelSpaceObject final : public HostObject<ModelSpaceObject, HostInterface::ModelSpace> {
 public:
  ModelSpaceObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state)
      : HostObject(library, std::move(state)), library_(library) {}

  virtual HRESULT STDMETHODCALLTYPE AddText(BSTR text, VARIANT point, double height,
                                            IDispatch** result) {
    auto added = std::make_shared<HostText>();
    added->text.assign(text, SysStringLen(text));
    added->insertion = readPoint(point);
    added->height = height;
    state().texts.push_back(added);
    state().calls.push_back(L"ModelSpace.AddText " + added->text);
    return handOut(make<TextObject>(library_, sharedState(), added), result);
  }

 private:
  const HostTypeLibrary& library_;
};

class DocumentObject final : public HostObject<DocumentObject, HostInterface::Document> {
 public:
  DocumentObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state,
                 std::wstring name)
      : HostObject(library, std::move(state)),
        name_(std::move(name)),
        modelSpace_(make<ModelSpaceObject>(library, sharedState())) {}

  virtual HRESULT STDMETHODCALLTYPE getModelSpace(IDispatch** result) {
    return handOut(modelSpace_, result);
  }
  virtual HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, VARIANT* result) {
    const std::wstring key = lowerCase(name);
    state().calls.push_back(L"Document.GetVariable " + key);
    const auto found = state().variables.find(key);
    if (found == state().variables.end()) {
      return E_INVALIDARG;
    }
    result->vt = VT_BSTR;
    return handOut(found->second, &result->bstrVal);
  }
  virtual HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, VARIANT value) {
    const std::wstring key = lowerCase(name);
    const std::wstring text = textOf(value);
    state().calls.push_back(L"Document.SetVariable " + key + L" " + text);
    state().variables[key] = text;
    return S_OK;
  }
  virtual HRESULT STDMETHODCALLTYPE getName(BSTR* result) {
    state().calls.push_back(L"Document.Name " + name_);
    return handOut(name_, result);
  }

  [[nodiscard]] const std::wstring& name() const { return name_; }

 private:
  static std::wstring lowerCase(BSTR name) {
    std::wstring text(name, SysStringLen(name));
    for (wchar_t& c : text) {
      c = static_cast<wchar_t>(towlower(c));
    }
    return text;
  }

  std::wstring name_;
  ComPtr<ModelSpaceObject> modelSpace_;
};

class DocumentsObject final : public HostObject<DocumentsObject, HostInterface::Documents> {
 public:
  DocumentsObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state,
                  const std::vector<std::wstring>& names)
      : HostObject(library, std::move(state)) {
    for (const auto& name : names) {
      documents_.push_back(make<DocumentObject>(library, sharedState(), name));
    }
  }

  virtual HRESULT STDMETHODCALLTYPE getCount(LONG* result) {
    state().calls.push_back(L"Documents.Count");
    *result = static_cast<LONG>(documents_.size());
    return S_OK;
  }
  // By zero-based position or by name, as CAD hosts index their collections.
  virtual HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** result) {
    ComVariant value;
    VariantCopyInd(&value.get(), &index);
    state().calls.push_back(L"Documents.Item " + textOf(value.get()));
    if (value.get().vt == VT_BSTR) {
      for (const auto& document : documents_) {
        if (document->name() == textOf(value.get())) {
          return handOut(document, result);
        }
      }
      return E_INVALIDARG;
    }
    ComVariant position;
    if (FAILED(VariantChangeType(&position.get(), &value.get(), 0, VT_I4)) ||
        position.get().lVal < 0 ||
        static_cast<std::size_t>(position.get().lVal) >= documents_.size()) {
      return E_INVALIDARG;
    }
    return handOut(documents_.at(static_cast<std::size_t>(position.get().lVal)), result);
  }

  [[nodiscard]] const ComPtr<DocumentObject>& active() const { return documents_.front(); }

 private:
  std::vector<ComPtr<DocumentObject>> documents_;
};

// The LISP functions read and eval: read hands back a form for the text, eval gives the text's
// result from the host's table.
class FunctionObject final : public HostObject<FunctionObject, HostInterface::VlFunction> {
 public:
  FunctionObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state,
                 std::wstring name)
      : HostObject(library, std::move(state)), name_(std::move(name)) {}

  virtual HRESULT STDMETHODCALLTYPE funcall(SAFEARRAY* arguments, VARIANT* result) {
    std::wstring argument;
    LONG lower = 0;
    LONG upper = -1;
    if (arguments != nullptr) {
      SafeArrayGetLBound(arguments, 1, &lower);
      SafeArrayGetUBound(arguments, 1, &upper);
    }
    for (LONG i = lower; i <= upper; ++i) {
      ComVariant element;
      SafeArrayGetElement(arguments, &i, &element.get());
      argument += (i == lower ? L"" : L" ") + textOf(element.get());
    }
    state().calls.push_back(name_ + L".funcall " + argument);
    if (name_ == L"read") {
      result->vt = VT_BSTR;
      return handOut(kForm + argument, &result->bstrVal);
    }
    if (!argument.starts_with(kForm)) {
      return E_INVALIDARG;  // eval is given only what read gave
    }
    const auto found = state().lispResults.find(argument.substr(kForm.size()));
    if (found != state().lispResults.end()) {
      result->vt = VT_I4;
      result->lVal = found->second;
    }
    return S_OK;
  }

 private:
  inline static const std::wstring kForm = L"form:";
  std::wstring name_;
};

class FunctionsObject final : public HostObject<FunctionsObject, HostInterface::VlFunctions> {
 public:
  FunctionsObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state)
      : HostObject(library, std::move(state)) {
    for (const wchar_t* name : {L"read", L"eval"}) {
      functions_.emplace(name, make<FunctionObject>(library, sharedState(), name));
    }
  }

  virtual HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** result) {
    const std::wstring name = textOf(index);
    state().calls.push_back(L"Functions.Item " + name);
    const auto found = functions_.find(name);
    if (found == functions_.end()) {
      return E_INVALIDARG;
    }
    return handOut(found->second, result);
  }

 private:
  std::map<std::wstring, ComPtr<FunctionObject>> functions_;
};

class VlDocumentObject final : public HostObject<VlDocumentObject, HostInterface::VlDocument> {
 public:
  VlDocumentObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state)
      : HostObject(library, std::move(state)),
        functions_(make<FunctionsObject>(library, sharedState())) {}

  virtual HRESULT STDMETHODCALLTYPE getFunctions(IDispatch** result) {
    return handOut(functions_, result);
  }

 private:
  ComPtr<FunctionsObject> functions_;
};

class VlApplicationObject final
    : public HostObject<VlApplicationObject, HostInterface::VlApplication> {
 public:
  VlApplicationObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state)
      : HostObject(library, std::move(state)),
        document_(make<VlDocumentObject>(library, sharedState())) {}

  virtual HRESULT STDMETHODCALLTYPE getActiveDocument(IDispatch** result) {
    return handOut(document_, result);
  }

 private:
  ComPtr<VlDocumentObject> document_;
};

class ApplicationObject final : public HostObject<ApplicationObject, HostInterface::Application> {
 public:
  ApplicationObject(const HostTypeLibrary& library, std::shared_ptr<HostState> state,
                    const HostSetup& setup)
      : HostObject(library, std::move(state)),
        setup_(setup),
        documents_(make<DocumentsObject>(library, sharedState(), setup.documentNames)),
        visualLisp_(make<VlApplicationObject>(library, sharedState())) {}

  virtual HRESULT STDMETHODCALLTYPE getActiveDocument(IDispatch** result) {
    state().calls.push_back(L"Application.ActiveDocument");
    return handOut(documents_->active(), result);
  }
  virtual HRESULT STDMETHODCALLTYPE getDocuments(IDispatch** result) {
    state().calls.push_back(L"Application.Documents");
    return handOut(documents_, result);
  }
  virtual HRESULT STDMETHODCALLTYPE getVersion(BSTR* result) {
    state().calls.push_back(L"Application.Version");
    return handOut(setup_.version, result);
  }
  virtual HRESULT STDMETHODCALLTYPE GetInterfaceObject(BSTR programId, IDispatch** result) {
    const std::wstring name(programId, SysStringLen(programId));
    state().calls.push_back(L"Application.GetInterfaceObject " + name);
    if (!name.starts_with(L"VL.Application.")) {
      return REGDB_E_CLASSNOTREG;
    }
    return handOut(visualLisp_, result);
  }
  virtual HRESULT STDMETHODCALLTYPE getHwnd(LONG* result) {
    state().calls.push_back(L"Application.HWND");
    *result = setup_.mainWindow;
    return S_OK;
  }

 private:
  HostSetup setup_;
  ComPtr<DocumentsObject> documents_;
  ComPtr<VlApplicationObject> visualLisp_;
};

#pragma GCC diagnostic pop

}  // namespace

ComPtr<IDispatch> makeHostApplication(const HostTypeLibrary& library,
                                      const std::shared_ptr<HostState>& state,
                                      const HostSetup& setup) {
  return make<ApplicationObject>(library, state, setup);
}

Point readPoint(const VARIANT& value) {
  ComVariant copy;
  Point point{};
  VARIANT source = value;  // the system's signature is not const; it only reads
  if (FAILED(VariantCopyInd(&copy.get(), &source)) || (copy.get().vt & VT_ARRAY) == 0) {
    return point;
  }
  const VARTYPE elementType = copy.get().vt & VT_TYPEMASK;
  if (elementType != VT_R8 && elementType != VT_VARIANT) {
    return point;
  }
  SAFEARRAY* array = copy.get().parray;
  LONG lower = 0;
  SafeArrayGetLBound(array, 1, &lower);
  for (LONG i = 0; i < 3; ++i) {
    LONG index = lower + i;
    ComVariant element;
    if (elementType == VT_VARIANT) {
      SafeArrayGetElement(array, &index, &element.get());
    } else {
      element.get().vt = VT_R8;
      SafeArrayGetElement(array, &index, &element.get().dblVal);
    }
    ComVariant number;
    if (SUCCEEDED(VariantChangeType(&number.get(), &element.get(), 0, VT_R8))) {
      point.at(static_cast<std::size_t>(i)) = number.get().dblVal;
    }
  }
  return point;
}

}  // namespace kvm::win32::testing
