#include "platform/sim/lisp/json.h"

#include "base/text.h"

namespace kvm::sim {

nlohmann::json lispToJson(const LispValue& value) {
  if (value.isNil()) {
    return nullptr;
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
    return toUtf8(value.stringValue());
  }
  if (value.isSymbol()) {
    return {{"sym", toUtf8(value.symbolName())}};
  }
  nlohmann::json items = nlohmann::json::array();
  const LispList& list = value.listValue();
  for (const LispValue& item : list.items) {
    items.push_back(lispToJson(item));
  }
  if (!list.tail.isNil()) {
    items.push_back(lispToJson(list.tail));
  }
  return items;
}

}  // namespace kvm::sim
