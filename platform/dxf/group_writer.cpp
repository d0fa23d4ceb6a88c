#include "platform/dxf/group_writer.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/codepage.h"

namespace kvm::dxf {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void appendUnicodeEscape(std::string& out, char16_t unit) {
  std::array<char, 12> buffer{};
  const int written =
      std::snprintf(buffer.data(), buffer.size(), "\\U+%04X", static_cast<unsigned>(unit));
  out.append(buffer.data(), static_cast<std::size_t>(written));
}

// Characters the reading program would take for markup or a line end.
bool needsCaret(char16_t unit) {
  return unit < 0x20 || unit == u'^';
}

}  // namespace

std::string encodeText(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (needsCaret(unit)) {
      out += '^';
      out += unit == u'^' ? ' ' : static_cast<char>(unit + 0x40);
    } else if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else {
      const std::string bytes = toGbk(text.substr(i, 1));
      if (bytes == "?") {
        appendUnicodeEscape(out, unit);
      } else {
        out += bytes;
      }
    }
  }
  return out;
}

std::string formatReal(double value) {
  if (!std::isfinite(value)) {
    throw DxfError("a drawing holds finite numbers only");
  }
  if (value == 0) {
    return "0.0";  // and never "-0.0"
  }
  std::array<char, 400> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  std::string text(buffer.data(), result.ptr);
  if (text.find('.') == std::string::npos) {
    text += ".0";
  }
  return text;
}

void GroupWriter::groupCode(int code) {
  std::array<char, 8> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%3d", code);
  out_ << buffer.data() << kLineEnd;
}

void GroupWriter::text(int code, std::string_view value) {
  groupCode(code);
  out_ << value << kLineEnd;
}

void GroupWriter::integer(int code, long long value) {
  groupCode(code);
  out_ << value << kLineEnd;
}

void GroupWriter::real(int code, double value) {
  const std::string text = formatReal(value);
  groupCode(code);
  out_ << text << kLineEnd;
}

void GroupWriter::point(int code, double x, double y, double z) {
  real(code, x);
  real(code + 10, y);
  real(code + 20, z);
}

}  // namespace kvm::dxf
