#include "platform/sim/host/lisp_variant.h"

#include <memory>

#include "base/runtime_error.h"
#include "platform/sim/host/member_call.h"
#include "platform/sim/lisp/errors.h"

namespace kvm::sim {

namespace {

LispValue argumentAtDepth(const Variant& value, int depth) {
  if (depth > LispValue::kMaxDepth) {
    throwStackLimit();
  }
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte: return LispValue::integer(toLong(value));
    case VarType::Single:
    case VarType::Double: return LispValue::real(toDouble(value));
    case VarType::Boolean: return LispValue::boolean(value.get<bool>());
    case VarType::String: return LispValue::string(value.stringValue());
    case VarType::Object: {
      const auto* form = dynamic_cast<const LispForm*>(value.objectValue().get());
      if (form == nullptr) {
        raise(err::kTypeMismatch);
      }
      return form->form();
    }
    case VarType::Variant: break;
  }
  if (value.arrayValue().dimensionCount() != 1) {
    raise(err::kTypeMismatch);  // a list has one dimension
  }
  std::vector<LispValue> items;
  for (const Variant& element : value.arrayValue().elements) {
    items.push_back(argumentAtDepth(element, depth + 1));
  }
  return LispValue::list(std::move(items));
}

}  // namespace

Variant LispForm::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall(name, kind, args).fail();
}

Variant lispResult(const LispValue& value) {
  if (value.isNil()) {
    return {};
  }
  if (value.isT()) {
    return true;
  }
  if (value.isInteger()) {
    return value.integerValue();
  }
  if (value.isReal()) {
    return value.realValue();
  }
  if (value.isString()) {
    return value.stringValue();
  }
  if (value.isSymbol()) {
    return value.symbolName();
  }
  const LispList& list = value.listValue();
  std::vector<Variant> elements;
  elements.reserve(list.items.size() + 1);
  for (const LispValue& item : list.items) {
    elements.push_back(lispResult(item));
  }
  if (!list.tail.isNil()) {
    elements.push_back(lispResult(list.tail));
  }
  return Variant::array(VarType::Variant, std::move(elements));
}

Variant lispReadResult(const LispValue& value) {
  if ((value.isSymbol() && !value.isT()) || value.isList()) {
    return DispatchPtr(std::make_shared<LispForm>(value));
  }
  return lispResult(value);
}

LispValue lispArgument(const Variant& value) {
  return argumentAtDepth(value, 0);
}

}  // namespace kvm::sim
