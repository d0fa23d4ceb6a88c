#include <iconv.h>

#include <string>
#include <vector>

#include "platform/dxf/code_page_converter.h"

namespace kvm::dxf {

struct CodePageConverter::Impl {
  explicit Impl(iconv_t opened) : handle(opened) {}
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  ~Impl() { iconv_close(handle); }
  iconv_t handle;
};

std::optional<CodePageConverter> CodePageConverter::open(unsigned codePage) {
  // glibc names Windows' double-byte pages by their standards.
  std::string name = "CP" + std::to_string(codePage);
  if (codePage == 936) {
    name = "GBK";
  } else if (codePage == 1361) {
    name = "JOHAB";
  }
  iconv_t handle = iconv_open("UTF-8", name.c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) {  // NOLINT: iconv's failure value
    return std::nullopt;
  }
  return CodePageConverter(std::make_unique<Impl>(handle));
}

CodePageConverter::CodePageConverter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CodePageConverter::CodePageConverter(CodePageConverter&&) noexcept = default;
CodePageConverter& CodePageConverter::operator=(CodePageConverter&&) noexcept = default;
CodePageConverter::~CodePageConverter() = default;

std::optional<std::string> CodePageConverter::toUtf8(std::string_view bytes) const {
  std::vector<char> in(bytes.begin(), bytes.end());
  std::string out(bytes.size() * 4 + 4, '\0');
  char* inPointer = in.data();
  std::size_t inLeft = in.size();
  char* outPointer = out.data();
  std::size_t outLeft = out.size();
  iconv(impl_->handle, nullptr, nullptr, nullptr, nullptr);
  if (iconv(impl_->handle, &inPointer, &inLeft, &outPointer, &outLeft) ==
      static_cast<std::size_t>(-1)) {
    return std::nullopt;
  }
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace kvm::dxf
