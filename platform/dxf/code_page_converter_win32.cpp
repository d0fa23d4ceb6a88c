#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/dxf/code_page_converter.h"

namespace kvm::dxf {

namespace {

// Windows gives the bytes a code page leaves undefined as control characters (0x81 of 1252 as
// U+0081) and a double-byte page's user-defined area as private-use characters, where iconv
// refuses both: refusing them here too reads every plan's names alike on both platforms.
bool definedByTheCodePage(wchar_t unit) {
  return (unit < 0x80 || unit > 0x9F) && (unit < 0xE000 || unit > 0xF8FF);
}

std::optional<std::wstring> toUtf16(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) {
    return std::wstring();
  }
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) {
    return std::nullopt;
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

struct CodePageConverter::Impl {
  UINT codePage = 0;
};

std::optional<CodePageConverter> CodePageConverter::open(unsigned codePage) {
  // Pages the system cannot check strictly (the ISO 2022 family, UTF-7) are refused, as the
  // other platform's converter lacks them.
  if (IsValidCodePage(codePage) == FALSE || !toUtf16(codePage, "A")) {
    return std::nullopt;
  }
  auto impl = std::make_unique<Impl>();
  impl->codePage = codePage;
  return CodePageConverter(std::move(impl));
}

CodePageConverter::CodePageConverter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CodePageConverter::CodePageConverter(CodePageConverter&&) noexcept = default;
CodePageConverter& CodePageConverter::operator=(CodePageConverter&&) noexcept = default;
CodePageConverter::~CodePageConverter() = default;

std::optional<std::string> CodePageConverter::toUtf8(std::string_view bytes) const {
  const std::optional<std::wstring> wide = toUtf16(impl_->codePage, bytes);
  if (!wide || !std::all_of(wide->begin(), wide->end(), definedByTheCodePage)) {
    return std::nullopt;
  }
  if (wide->empty()) {
    return std::string();
  }
  const int size = static_cast<int>(wide->size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide->data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) {
    return std::nullopt;
  }
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide->data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace kvm::dxf
