#include "platform/sim/lisp/value.h"

#include <algorithm>

#include "platform/sim/lisp/errors.h"

namespace kvm::sim {

LispValue LispValue::integer(int32_t value) {
  LispValue v;
  v.storage_ = value;
  return v;
}

LispValue LispValue::real(double value) {
  LispValue v;
  v.storage_ = value;
  return v;
}

LispValue LispValue::string(std::u16string value) {
  if (value.size() > kMaxLispStringLength) {
    throwLispError(u"string too long");
  }
  LispValue v;
  v.storage_ = std::make_shared<const std::u16string>(std::move(value));
  return v;
}

LispValue LispValue::symbol(std::u16string upperName) {
  LispValue v;
  v.storage_ = LispSymbol{std::move(upperName)};
  return v;
}

LispValue LispValue::t() {
  return symbol(u"T");
}

LispValue LispValue::list(std::vector<LispValue> items, LispValue tail) {
  if (items.empty()) {
    return tail;
  }
  int depth = tail.depth();
  for (const LispValue& item : items) {
    depth = std::max(depth, item.depth() + 1);
  }
  if (depth > kMaxDepth) {
    throwStackLimit();
  }
  LispValue v;
  v.storage_ = std::make_shared<const LispList>(LispList{std::move(items), std::move(tail), depth});
  return v;
}

double LispValue::numberValue() const {
  return isInteger() ? static_cast<double>(integerValue()) : realValue();
}

int LispValue::depth() const {
  return isList() ? listValue().depth : 0;
}

bool LispValue::operator==(const LispValue& other) const {
  if (isList() && other.isList()) {
    const LispList& a = listValue();
    const LispList& b = other.listValue();
    return a.items == b.items && a.tail == b.tail;
  }
  if (isString() && other.isString()) {
    return stringValue() == other.stringValue();
  }
  return storage_ == other.storage_;
}

}  // namespace kvm::sim
