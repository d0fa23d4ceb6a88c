#include "platform/sim/host/system_variables.h"

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm::sim {

SystemVariables::SystemVariables() {
  for (const char16_t* name : {u"USERS1", u"USERS2", u"USERS3", u"USERS4", u"USERS5"}) {
    values_.emplace(name, Variant(u""));
  }
}

void SystemVariables::define(std::u16string_view name, Variant value) {
  values_[asciiUpper(name)] = std::move(value);
}

Variant SystemVariables::get(std::u16string_view name) const {
  const auto it = values_.find(asciiUpper(name));
  if (it == values_.end()) {
    raise(err::kInvalidCall);
  }
  return it->second;
}

void SystemVariables::set(std::u16string_view name, const Variant& value) {
  const auto it = values_.find(asciiUpper(name));
  if (it == values_.end()) {
    raise(err::kInvalidCall);
  }
  Variant& current = it->second;
  if (current.isString() != value.isString() || value.isArray() || value.isObject() ||
      value.isEmpty()) {
    raise(err::kTypeMismatch);
  }
  current = convertTo(value, current.type());
}

std::optional<LispValue> SystemVariables::getLisp(std::u16string_view name) const {
  const auto it = values_.find(asciiUpper(name));
  if (it == values_.end()) {
    return std::nullopt;
  }
  const Variant& value = it->second;
  if (value.isString()) {
    return LispValue::string(value.stringValue());
  }
  if (value.type() == VarType::Double || value.type() == VarType::Single) {
    return LispValue::real(toDouble(value));
  }
  return LispValue::integer(toLong(value));
}

bool SystemVariables::setLisp(std::u16string_view name, const LispValue& value) {
  Variant converted;
  if (value.isString()) {
    converted = value.stringValue();
  } else if (value.isInteger()) {
    converted = value.integerValue();
  } else if (value.isReal()) {
    converted = value.realValue();
  } else {
    return false;
  }
  try {
    set(name, converted);
  } catch (const RuntimeError&) {
    return false;
  }
  return true;
}

nlohmann::json SystemVariables::dump() const {
  nlohmann::json out = nlohmann::json::object();
  for (const auto& [name, value] : values_) {
    if (value.isString()) {
      out[toUtf8(name)] = toUtf8(value.stringValue());
    } else if (value.type() == VarType::Double || value.type() == VarType::Single) {
      out[toUtf8(name)] = toDouble(value);
    } else {
      out[toUtf8(name)] = toLong(value);
    }
  }
  return out;
}

}  // namespace kvm::sim
