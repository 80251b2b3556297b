#include "core/base/portable/Checksums.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <array>

uint32_t Crc32(const void* data, size_t length, uint32_t previous) {
  // zlib's crc32 takes at most a uInt of bytes per call; larger inputs go in pieces.
  const Bytef* bytes = static_cast<const Bytef*>(data);
  uLong crc = previous;
  while (length > 0) {
    const uInt piece = static_cast<uInt>(std::min<size_t>(length, 0x40000000u));
    crc = crc32(crc, bytes, piece);
    bytes += piece;
    length -= piece;
  }
  return static_cast<uint32_t>(crc);
}

namespace {

std::array<uint16_t, 256> MakeCrc16Table() {
  std::array<uint16_t, 256> table{};
  for (unsigned n = 0; n < 256; ++n) {
    uint16_t crc = static_cast<uint16_t>(n << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    table[n] = crc;
  }
  return table;
}

}  // namespace

uint16_t Crc16Xmodem(const void* data, size_t length) {
  static const std::array<uint16_t, 256> table = MakeCrc16Table();
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  uint16_t crc = 0;
  for (size_t i = 0; i < length; ++i) {
    crc = static_cast<uint16_t>((crc << 8) ^ table[((crc >> 8) ^ bytes[i]) & 0xFF]);
  }
  return crc;
}

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
