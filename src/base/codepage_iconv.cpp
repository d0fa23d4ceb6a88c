#include <iconv.h>

#include <array>
#include <cstring>

#include "base/codepage_backend.h"

namespace kvm::detail {

namespace {

iconv_t failedHandle() {
  return reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr): iconv's own value
}

}  // namespace

struct GbkDecoder::Impl {
  iconv_t handle = failedHandle();

  Impl() {
    for (const char* name : {"CP936", "GBK"}) {
      handle = iconv_open("UTF-16LE", name);
      if (handle != failedHandle()) {
        return;
      }
    }
  }
  ~Impl() {
    if (handle != failedHandle()) {
      iconv_close(handle);
    }
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
};

GbkDecoder::GbkDecoder() : impl_(std::make_unique<Impl>()) {}
GbkDecoder::~GbkDecoder() = default;

char16_t GbkDecoder::decode(std::string_view code) {
  if (impl_->handle == failedHandle() || code.empty() || code.size() > 2) {
    return 0;
  }
  iconv(impl_->handle, nullptr, nullptr, nullptr, nullptr);  // forget any earlier failure
  std::array<char, 2> input{};
  std::memcpy(input.data(), code.data(), code.size());
  std::array<char, 8> output{};
  char* in = input.data();
  char* out = output.data();
  size_t inLeft = code.size();
  size_t outLeft = output.size();
  if (iconv(impl_->handle, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) ||
      inLeft != 0 || output.size() - outLeft != 2) {
    return 0;
  }
  return static_cast<char16_t>(static_cast<unsigned char>(output[0]) |
                               (static_cast<unsigned char>(output[1]) << 8));
}

}  // namespace kvm::detail
