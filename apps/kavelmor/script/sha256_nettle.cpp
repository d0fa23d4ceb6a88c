#include <nettle/sha2.h>

#include "apps/kavelmor/script/sha256.h"
#include "apps/kavelmor/script/sha256_hex.h"

namespace kvm::script {

std::string sha256Hex(std::string_view bytes) {
  sha256_ctx context{};
  sha256_init(&context);
  // nettle takes the length as size_t and the bytes as uint8_t; a string_view is both.
  sha256_update(&context, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
  std::array<uint8_t, SHA256_DIGEST_SIZE> digest{};
  sha256_digest(&context, digest.size(), digest.data());
  return hexDigits(digest);
}

}  // namespace kvm::script
