#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kvm {

class Dispatch;
class Variant;
using DispatchPtr = std::shared_ptr<Dispatch>;

// The automation types a value or an array element can have.
enum class VarType : uint8_t {
  Empty,
  Integer,  // signed 16-bit
  Long,     // signed 32-bit
  Byte,     // unsigned 8-bit
  Single,
  Double,
  Boolean,
  String,
  Object,
  Variant,  // only as an array's element type
  Null,
};

const char* varTypeTag(
    VarType type);  // "I2", "I4", "UI1", "R4", "R8", "BOOL", "BSTR", "VARIANT", ...
std::optional<VarType> varTypeFromTag(std::string_view tag);

// The automation value Null: a value that is known to hold no data, unlike Empty.
struct NullValue {
  bool operator==(const NullValue&) const = default;
};

struct ArrayDimension {
  int32_t lowerBound = 0;
  int32_t count = 0;
  bool operator==(const ArrayDimension&) const = default;
};

// An automation array. An array-typed value may hold no array at all (unallocated), which is
// not the same as an allocated array of no elements.
//
// Nearly every array a host passes has one dimension, and all the component reads by one
// index; arrays of more dimensions are carried whole so that a method can refuse them itself.
struct ArrayValue {
  VarType elementType = VarType::Variant;
  bool allocated = false;
  int32_t lowerBound = 0;         // of the first dimension
  std::vector<Variant> elements;  // each holds elementType, or any type when that is Variant
  // Two or more dimensions, the first outermost: elements then run with the last index
  // varying fastest. Empty for one dimension.
  std::vector<ArrayDimension> dimensions;

  [[nodiscard]] std::size_t dimensionCount() const {
    return dimensions.empty() ? 1 : dimensions.size();
  }
  // Defined where Variant is complete: clang checks the element type right here.
  [[nodiscard]] int32_t upperBound() const;  // of the first dimension
  bool operator==(const ArrayValue& other) const;
};

// An automation value (VARIANT) with the exact type the platform would give it.
class Variant {
 public:
  using Storage = std::variant<std::monostate, int16_t, int32_t, uint8_t, float, double, bool,
                               std::u16string, DispatchPtr, ArrayValue, NullValue>;

  Variant() = default;
  Variant(int16_t value) : storage_(value) {}  // NOLINT(google-explicit-constructor)
  Variant(int32_t value) : storage_(value) {}  // NOLINT(google-explicit-constructor)
  Variant(uint8_t value) : storage_(value) {}  // NOLINT(google-explicit-constructor)
  Variant(float value) : storage_(value) {}    // NOLINT(google-explicit-constructor)
  Variant(double value) : storage_(value) {}   // NOLINT(google-explicit-constructor)
  Variant(bool value) : storage_(value) {}     // NOLINT(google-explicit-constructor)
  Variant(std::u16string value)                // NOLINT(google-explicit-constructor)
      : storage_(std::move(value)) {}
  Variant(const char16_t* value) : storage_(std::u16string(value)) {}  // NOLINT
  Variant(DispatchPtr value) : storage_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  Variant(ArrayValue value) : storage_(std::move(value)) {}   // NOLINT(google-explicit-constructor)
  Variant(NullValue value) : storage_(value) {}               // NOLINT(google-explicit-constructor)

  // Arrays with lower bound 0.
  static Variant array(VarType elementType, std::vector<Variant> elements);
  static Variant unallocatedArray(VarType elementType);
  static Variant doubles(const std::vector<double>& values);

  [[nodiscard]] VarType type() const;  // Variant means "array", see isArray
  [[nodiscard]] bool isEmpty() const { return std::holds_alternative<std::monostate>(storage_); }
  [[nodiscard]] bool isArray() const { return std::holds_alternative<ArrayValue>(storage_); }
  [[nodiscard]] bool isString() const { return std::holds_alternative<std::u16string>(storage_); }
  [[nodiscard]] bool isObject() const { return std::holds_alternative<DispatchPtr>(storage_); }
  [[nodiscard]] bool isNull() const { return std::holds_alternative<NullValue>(storage_); }
  [[nodiscard]] bool isNumeric() const;  // Integer, Long, Byte, Single, Double, Boolean

  [[nodiscard]] const Storage& storage() const { return storage_; }
  [[nodiscard]] const ArrayValue& arrayValue() const { return std::get<ArrayValue>(storage_); }
  [[nodiscard]] ArrayValue& arrayValue() { return std::get<ArrayValue>(storage_); }
  [[nodiscard]] const std::u16string& stringValue() const {
    return std::get<std::u16string>(storage_);
  }
  [[nodiscard]] const DispatchPtr& objectValue() const { return std::get<DispatchPtr>(storage_); }

  template <class T>
  [[nodiscard]] bool holds() const {
    return std::holds_alternative<T>(storage_);
  }
  template <class T>
  [[nodiscard]] const T& get() const {
    return std::get<T>(storage_);
  }

  bool operator==(const Variant& other) const { return storage_ == other.storage_; }

 private:
  Storage storage_;
};

// Conversions as the platform's late binding performs them (strings read as numbers,
// integer conversions round halves to even, range errors are Overflow, anything that
// cannot convert is a Type mismatch, Null is Invalid use of Null).
double toDouble(const Variant& value);
float toSingle(const Variant& value);
int32_t toLong(const Variant& value);
int16_t toInteger(const Variant& value);
uint8_t toByte(const Variant& value);
bool toBoolean(const Variant& value);
std::u16string toString(const Variant& value);
DispatchPtr toObject(const Variant& value);  // Empty or non-object: Type mismatch

// Converts a value to the given type (for typed arrays and assignments).
Variant convertTo(const Variant& value, VarType type);

// Converts an argument to a declared parameter type, as the automation call does before the
// member runs: there Null converts to nothing (Type mismatch).
Variant convertArgument(const Variant& value, VarType type);

// Element i of an array value by its own index (lower bound counted); error 9 when outside
// or when the array has more than one dimension, 13 when the value is not an array.
const Variant& element(const Variant& arrayValue, int32_t index);

}  // namespace kvm
