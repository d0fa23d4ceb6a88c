#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kvm::dxf {

// A drawing that cannot be written as asked (a name missing from its table, a number that is
// not finite, a file that cannot be made).
class DxfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text of a string value in a drawing of code page 936: GBK bytes; control characters as
// ^J, a caret as "^ "; a character without a GBK form as \U+XXXX.
std::string encodeText(std::u16string_view text);

// A real in its shortest exact decimal form, always with a decimal point, never an exponent.
std::string formatReal(double value);

// Writes ASCII group code / value pairs, one line each, lines ending in CR LF.
class GroupWriter {
 public:
  explicit GroupWriter(std::ostream& out) : out_(out) {}

  void text(int code, std::string_view value);
  void text(int code, std::u16string_view value) { text(code, encodeText(value)); }
  void integer(int code, long long value);
  void real(int code, double value);
  // A point: x, y and z under code, code + 10 and code + 20.
  void point(int code, double x, double y, double z);

 private:
  void groupCode(int code);

  std::ostream& out_;
};

}  // namespace kvm::dxf
