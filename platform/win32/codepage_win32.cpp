#include <windows.h>

#include <array>

#include "base/codepage_backend.h"

namespace kvm::detail {

namespace {
constexpr UINT kCodePageGbk = 936;
}  // namespace

// The system converts on its own; nothing needs holding between calls.
struct GbkDecoder::Impl {};

GbkDecoder::GbkDecoder() : impl_(std::make_unique<Impl>()) {}
GbkDecoder::~GbkDecoder() = default;

char16_t GbkDecoder::decode(std::string_view code) {
  if (code.empty() || code.size() > 2) {
    return 0;
  }
  std::array<wchar_t, 4> output{};
  const int written = MultiByteToWideChar(kCodePageGbk, MB_ERR_INVALID_CHARS, code.data(),
                                          static_cast<int>(code.size()), output.data(),
                                          static_cast<int>(output.size()));
  return written == 1 ? static_cast<char16_t>(output[0]) : u'\0';
}

}  // namespace kvm::detail
