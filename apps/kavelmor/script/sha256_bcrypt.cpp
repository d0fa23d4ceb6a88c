#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include <limits>
#include <stdexcept>

#include "apps/kavelmor/script/sha256.h"
#include "apps/kavelmor/script/sha256_hex.h"

namespace kvm::script {

namespace {

void check(NTSTATUS status) {
  if (status < 0) {
    throw std::runtime_error("SHA-256 is not available from the system");
  }
}

// The algorithm provider and the hash object, closed on every path out.
class Sha256Hash {
 public:
  Sha256Hash() {
    check(BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
    if (BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0) < 0) {
      BCryptCloseAlgorithmProvider(algorithm_, 0);
      check(-1);
    }
  }
  Sha256Hash(const Sha256Hash&) = delete;
  Sha256Hash& operator=(const Sha256Hash&) = delete;
  Sha256Hash(Sha256Hash&&) = delete;
  Sha256Hash& operator=(Sha256Hash&&) = delete;
  ~Sha256Hash() {
    BCryptDestroyHash(hash_);
    BCryptCloseAlgorithmProvider(algorithm_, 0);
  }

  [[nodiscard]] BCRYPT_HASH_HANDLE get() const { return hash_; }

 private:
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

std::string sha256Hex(std::string_view bytes) {
  const Sha256Hash hash;
  // BCrypt takes at most 4 GiB a call.
  constexpr std::size_t kChunk = std::numeric_limits<ULONG>::max();
  do {
    const std::size_t size = bytes.size() < kChunk ? bytes.size() : kChunk;
    // BCrypt's input is not const, but it only reads it.
    auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
    check(BCryptHashData(hash.get(), data, static_cast<ULONG>(size), 0));
    bytes.remove_prefix(size);
  } while (!bytes.empty());
  std::array<uint8_t, 32> digest{};
  check(BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
  return hexDigits(digest);
}

}  // namespace kvm::script
