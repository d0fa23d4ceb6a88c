#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace kvm::sim {

struct LispList;
using LispListPtr = std::shared_ptr<const LispList>;

struct LispSymbol {
  std::u16string name;  // upper case
  bool operator==(const LispSymbol& other) const = default;
};

using LispStringPtr = std::shared_ptr<const std::u16string>;

// An AutoLISP value: nil, an integer, a real, a string, a symbol or a list. T is the symbol T.
// Values are immutable; strings and lists are shared, so copies cost nothing.
class LispValue {
 public:
  using Storage =
      std::variant<std::monostate, int32_t, double, LispStringPtr, LispSymbol, LispListPtr>;

  LispValue() = default;  // nil
  static LispValue integer(int32_t value);
  static LispValue real(double value);
  static LispValue string(std::u16string value);
  static LispValue symbol(std::u16string upperName);
  static LispValue t();
  static LispValue boolean(bool value) { return value ? t() : LispValue(); }
  // A proper list (tail nil) or a dotted one. No items and a nil tail is nil. Lists nested
  // deeper than kMaxDepth are refused, so that no later walk over a value can exhaust the stack.
  static LispValue list(std::vector<LispValue> items, LispValue tail = {});

  [[nodiscard]] bool isNil() const { return std::holds_alternative<std::monostate>(storage_); }
  [[nodiscard]] bool isInteger() const { return std::holds_alternative<int32_t>(storage_); }
  [[nodiscard]] bool isReal() const { return std::holds_alternative<double>(storage_); }
  [[nodiscard]] bool isNumber() const { return isInteger() || isReal(); }
  [[nodiscard]] bool isString() const { return std::holds_alternative<LispStringPtr>(storage_); }
  [[nodiscard]] bool isSymbol() const { return std::holds_alternative<LispSymbol>(storage_); }
  [[nodiscard]] bool isList() const { return std::holds_alternative<LispListPtr>(storage_); }
  [[nodiscard]] bool isT() const { return isSymbol() && symbolName() == u"T"; }

  [[nodiscard]] int32_t integerValue() const { return std::get<int32_t>(storage_); }
  [[nodiscard]] double realValue() const { return std::get<double>(storage_); }
  [[nodiscard]] double numberValue() const;
  [[nodiscard]] const std::u16string& stringValue() const {
    return *std::get<LispStringPtr>(storage_);
  }
  [[nodiscard]] const std::u16string& symbolName() const {
    return std::get<LispSymbol>(storage_).name;
  }
  [[nodiscard]] const LispList& listValue() const { return *std::get<LispListPtr>(storage_); }

  // Nesting depth: 0 for atoms and nil.
  [[nodiscard]] int depth() const;

  [[nodiscard]] const Storage& storage() const { return storage_; }
  bool operator==(const LispValue& other) const;

  static constexpr int kMaxDepth = 1000;

 private:
  Storage storage_;
};

struct LispList {
  std::vector<LispValue> items;  // never empty
  LispValue tail;                // nil for a proper list
  int depth = 1;
};

// The engine's own limits: beyond them a text or an evaluation fails instead of exhausting
// memory or the stack.
inline constexpr std::size_t kMaxLispTextLength = 1U << 18U;
inline constexpr std::size_t kMaxLispStringLength = 1U << 20U;

}  // namespace kvm::sim
