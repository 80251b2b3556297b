#include "core/portable/Md5Hex.h"

#include <openssl/evp.h>

std::string ComputeMd5Hex(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE] = {};
  unsigned int size = 0;
  // EVP_Digest only fails when the library cannot allocate; the zero digest
  // then still gives 32 digits rather than a short text.
  EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_md5(), nullptr);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(32, '0');
  for (int i = 0; i < 16; ++i) {
    hex[2 * i] = kDigits[digest[i] >> 4];
    hex[2 * i + 1] = kDigits[digest[i] & 15];
  }
  return hex;
}

std::wstring ComputeMd5HexW(const std::string& bytes) {
  const std::string hex = ComputeMd5Hex(bytes);
  return std::wstring(hex.begin(), hex.end());
}
