#include "platform/win32/variant_conversion.h"

#include <algorithm>
#include <vector>

#include "base/runtime_error.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/dispatch_com_object.h"

namespace kvm::win32 {

namespace {

// The system's copy and conversion calls only read their source, though declared otherwise.
VARIANT* mutableSource(const VARIANT& value) {
  return const_cast<VARIANT*>(&value);
}

VarType coreTypeOf(VARTYPE type) {
  switch (type) {
    case VT_I2: return VarType::Integer;
    case VT_I4: return VarType::Long;
    case VT_UI1: return VarType::Byte;
    case VT_R4: return VarType::Single;
    case VT_R8: return VarType::Double;
    case VT_BOOL: return VarType::Boolean;
    case VT_BSTR: return VarType::String;
    case VT_DISPATCH: return VarType::Object;
    case VT_VARIANT: return VarType::Variant;
    default: raise(err::kTypeMismatch);
  }
}

Variant fromDispatch(IDispatch* object) {
  return Variant(object == nullptr ? DispatchPtr() : wrapComObject(object));
}

Variant readElement(SAFEARRAY* array, LONG* indices, VARTYPE elementComType) {
  ComVariant item;
  VARIANT& slot = item.get();
  if (elementComType == VT_VARIANT) {
    check(SafeArrayGetElement(array, indices, &slot));
  } else {
    // The element lands in the union; its type tag makes ComVariant free it properly.
    check(SafeArrayGetElement(array, indices, &slot.iVal));
    slot.vt = elementComType;
  }
  return fromComVariant(slot);
}

// The first index of every dimension, as SAFEARRAY calls take them.
std::vector<LONG> firstIndices(const std::vector<ArrayDimension>& dimensions) {
  std::vector<LONG> indices;
  indices.reserve(dimensions.size());
  for (const auto& dimension : dimensions) {
    indices.push_back(dimension.lowerBound);
  }
  return indices;
}

// Steps to the next element in the core's order, the last index fastest, like an odometer.
void nextIndex(std::vector<LONG>& indices, const std::vector<ArrayDimension>& dimensions) {
  for (std::size_t d = dimensions.size(); d-- > 0;) {
    if (++indices[d] < dimensions[d].lowerBound + dimensions[d].count) {
      return;
    }
    indices[d] = dimensions[d].lowerBound;
  }
}

Variant fromArray(SAFEARRAY* array, VARTYPE elementComType) {
  const VarType elementType = coreTypeOf(elementComType);
  if (array == nullptr) {
    return Variant::unallocatedArray(elementType);
  }
  const UINT dimensionCount = SafeArrayGetDim(array);
  if (dimensionCount == 0) {
    raise(err::kTypeMismatch);
  }
  ArrayValue result{elementType, true, 0, {}, {}};
  std::size_t total = 1;
  for (UINT dimension = 1; dimension <= dimensionCount; ++dimension) {
    LONG lower = 0;
    LONG upper = -1;
    check(SafeArrayGetLBound(array, dimension, &lower));
    check(SafeArrayGetUBound(array, dimension, &upper));
    const int64_t count = std::max<int64_t>(0, int64_t{upper} - lower + 1);
    result.dimensions.push_back({lower, static_cast<int32_t>(count)});
    total *= static_cast<std::size_t>(count);
  }
  result.lowerBound = result.dimensions.front().lowerBound;
  result.elements.reserve(total);
  std::vector<LONG> indices = firstIndices(result.dimensions);
  for (std::size_t n = 0; n < total; ++n) {
    result.elements.push_back(readElement(array, indices.data(), elementComType));
    nextIndex(indices, result.dimensions);
  }
  if (dimensionCount == 1) {
    result.dimensions.clear();
  }
  return result;
}

// A typed copy of an array value for a typed destination; elements that do not convert
// are Type mismatch (or Overflow), as late binding reports them.
Variant typedArray(const Variant& value, VarType elementType) {
  if (!value.isArray()) {
    raise(err::kTypeMismatch);
  }
  const ArrayValue& source = value.arrayValue();
  if (elementType == VarType::Variant || source.elementType == elementType) {
    ArrayValue copy = source;
    copy.elementType = elementType;
    return copy;
  }
  ArrayValue typed{elementType, source.allocated, source.lowerBound, {}, source.dimensions};
  typed.elements.reserve(source.elements.size());
  for (const Variant& item : source.elements) {
    typed.elements.push_back(convertTo(item, elementType));
  }
  return typed;
}

void putElement(SAFEARRAY* array, LONG* indices, const Variant& item, VarType elementType,
                VARTYPE elementComType) {
  if (elementComType == VT_VARIANT) {
    ComVariant element = toComVariant(item);
    check(SafeArrayPutElement(array, indices, &element.get()));
    return;
  }
  ComVariant element = toComVariant(convertTo(item, elementType));
  VARIANT& slot = element.get();
  // Strings and objects are passed as themselves, every other type by its address.
  void* data = &slot.iVal;
  if (elementComType == VT_BSTR) {
    data = slot.bstrVal;
  } else if (elementComType == VT_DISPATCH) {
    data = slot.pdispVal;
  }
  check(SafeArrayPutElement(array, indices, data));
}

ComVariant arrayToCom(const ArrayValue& array) {
  const VarType elementType =
      array.elementType == VarType::Empty ? VarType::Variant : array.elementType;
  const VARTYPE elementComType = comTypeOf(elementType);
  ComVariant result;
  VARIANT& out = result.get();
  if (!array.allocated) {
    out.vt = static_cast<VARTYPE>(VT_ARRAY | elementComType);
    out.parray = nullptr;
    return result;
  }
  std::vector<ArrayDimension> dimensions = array.dimensions;
  if (dimensions.empty()) {
    dimensions.push_back({array.lowerBound, static_cast<int32_t>(array.elements.size())});
  }
  std::vector<SAFEARRAYBOUND> bounds;
  bounds.reserve(dimensions.size());
  for (const auto& dimension : dimensions) {
    bounds.push_back({static_cast<ULONG>(dimension.count), dimension.lowerBound});
  }
  SafeArray created(
      SafeArrayCreate(elementComType, static_cast<UINT>(bounds.size()), bounds.data()));
  if (created.get() == nullptr) {
    raise(err::kOutOfMemory);
  }
  std::vector<LONG> indices = firstIndices(dimensions);
  for (const Variant& item : array.elements) {
    putElement(created.get(), indices.data(), item, elementType, elementComType);
    nextIndex(indices, dimensions);
  }
  out.vt = static_cast<VARTYPE>(VT_ARRAY | elementComType);
  out.parray = created.detach();
  return result;
}

}  // namespace

VARTYPE comTypeOf(VarType type) {
  switch (type) {
    case VarType::Integer: return VT_I2;
    case VarType::Long: return VT_I4;
    case VarType::Byte: return VT_UI1;
    case VarType::Single: return VT_R4;
    case VarType::Double: return VT_R8;
    case VarType::Boolean: return VT_BOOL;
    case VarType::String: return VT_BSTR;
    case VarType::Object: return VT_DISPATCH;
    case VarType::Empty:
    case VarType::Null:
    case VarType::Variant: return VT_VARIANT;
  }
  return VT_VARIANT;
}

Variant fromComVariant(const VARIANT& value) {
  const VARTYPE type = value.vt;
  if ((type & VT_BYREF) != 0) {
    const auto base = static_cast<VARTYPE>(type & ~VT_BYREF);
    if (base == VT_VARIANT) {
      return value.pvarVal == nullptr ? Variant() : fromComVariant(*value.pvarVal);
    }
    if ((base & VT_ARRAY) != 0) {
      return fromArray(value.pparray == nullptr ? nullptr : *value.pparray,
                       static_cast<VARTYPE>(base & VT_TYPEMASK));
    }
    ComVariant copy;
    check(VariantCopyInd(&copy.get(), mutableSource(value)));
    return fromComVariant(copy.get());
  }
  if ((type & VT_ARRAY) != 0) {
    return fromArray(value.parray, static_cast<VARTYPE>(type & VT_TYPEMASK));
  }
  switch (type) {
    case VT_EMPTY: return {};
    case VT_NULL: return NullValue{};
    case VT_I2: return Variant(static_cast<int16_t>(value.iVal));
    case VT_I4: return Variant(static_cast<int32_t>(value.lVal));
    case VT_UI1: return Variant(static_cast<uint8_t>(value.bVal));
    case VT_R4: return Variant(value.fltVal);
    case VT_R8: return Variant(value.dblVal);
    case VT_BOOL: return Variant(value.boolVal != VARIANT_FALSE);
    case VT_BSTR: return Variant(fromBstr(value.bstrVal));
    case VT_DISPATCH: return fromDispatch(value.pdispVal);
    case VT_UNKNOWN: {
      if (value.punkVal == nullptr) {
        return Variant(DispatchPtr());
      }
      const auto object = ComPtr<IUnknown>::retain(value.punkVal).query<IDispatch>();
      if (!object) {
        raise(err::kTypeMismatch);
      }
      return fromDispatch(object.get());
    }
    case VT_ERROR:
      if (value.scode == DISP_E_PARAMNOTFOUND) {
        raise(err::kArgumentNotOptional);
      }
      raise(err::kTypeMismatch);
    case VT_I1:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8: {
      ComVariant asLong;
      if (SUCCEEDED(VariantChangeType(&asLong.get(), mutableSource(value), 0, VT_I4))) {
        return Variant(static_cast<int32_t>(asLong.get().lVal));
      }
      [[fallthrough]];
    }
    case VT_DATE:
    case VT_CY:
    case VT_DECIMAL: {
      ComVariant asDouble;
      if (FAILED(VariantChangeType(&asDouble.get(), mutableSource(value), 0, VT_R8))) {
        raise(err::kTypeMismatch);
      }
      return Variant(asDouble.get().dblVal);
    }
    default: raise(err::kTypeMismatch);
  }
}

ComVariant toComVariant(const Variant& value) {
  ComVariant result;
  VARIANT& out = result.get();
  const auto& storage = value.storage();
  if (const auto* number = std::get_if<int16_t>(&storage)) {
    out.vt = VT_I2;
    out.iVal = *number;
  } else if (const auto* longNumber = std::get_if<int32_t>(&storage)) {
    out.vt = VT_I4;
    out.lVal = *longNumber;
  } else if (const auto* byte = std::get_if<uint8_t>(&storage)) {
    out.vt = VT_UI1;
    out.bVal = *byte;
  } else if (const auto* single = std::get_if<float>(&storage)) {
    out.vt = VT_R4;
    out.fltVal = *single;
  } else if (const auto* real = std::get_if<double>(&storage)) {
    out.vt = VT_R8;
    out.dblVal = *real;
  } else if (const auto* flag = std::get_if<bool>(&storage)) {
    out.vt = VT_BOOL;
    out.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (const auto* text = std::get_if<std::u16string>(&storage)) {
    out.bstrVal = allocBstr(*text);
    out.vt = VT_BSTR;
  } else if (const auto* object = std::get_if<DispatchPtr>(&storage)) {
    out.pdispVal = *object ? exposeDispatch(*object).detach() : nullptr;
    out.vt = VT_DISPATCH;
  } else if (const auto* array = std::get_if<ArrayValue>(&storage)) {
    result = arrayToCom(*array);
  } else if (value.isNull()) {
    out.vt = VT_NULL;
  }
  return result;
}

void writeBack(const VARIANT& argument, const Variant& value) {
  if ((argument.vt & VT_BYREF) == 0 || argument.byref == nullptr) {
    return;
  }
  const auto base = static_cast<VARTYPE>(argument.vt & ~VT_BYREF);
  if (base == VT_VARIANT) {
    ComVariant converted = toComVariant(value);
    VariantClear(argument.pvarVal);
    *argument.pvarVal = converted.detach();
    return;
  }
  if ((base & VT_ARRAY) != 0) {
    const VarType elementType = coreTypeOf(static_cast<VARTYPE>(base & VT_TYPEMASK));
    ComVariant converted = toComVariant(typedArray(value, elementType));
    if (*argument.pparray != nullptr) {
      SafeArrayDestroy(*argument.pparray);
    }
    *argument.pparray = converted.detach().parray;
    return;
  }
  ComVariant converted = toComVariant(convertTo(value, coreTypeOf(base)));
  VARIANT& slot = converted.get();
  switch (base) {
    case VT_I2: *argument.piVal = slot.iVal; break;
    case VT_I4: *argument.plVal = slot.lVal; break;
    case VT_UI1: *argument.pbVal = slot.bVal; break;
    case VT_R4: *argument.pfltVal = slot.fltVal; break;
    case VT_R8: *argument.pdblVal = slot.dblVal; break;
    case VT_BOOL: *argument.pboolVal = slot.boolVal; break;
    case VT_BSTR:
      SysFreeString(*argument.pbstrVal);
      *argument.pbstrVal = converted.detach().bstrVal;
      break;
    case VT_DISPATCH:
      if (*argument.ppdispVal != nullptr) {
        (*argument.ppdispVal)->Release();
      }
      *argument.ppdispVal = converted.detach().pdispVal;
      break;
    default: raise(err::kTypeMismatch);
  }
}

}  // namespace kvm::win32
