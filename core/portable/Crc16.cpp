#include "core/portable/Crc16.h"

#include <array>

namespace {

std::array<uint16_t, 256> MakeTable() {
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
  static const std::array<uint16_t, 256> table = MakeTable();
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  uint16_t crc = 0;
  for (size_t i = 0; i < length; ++i) {
    crc = static_cast<uint16_t>((crc << 8) ^ table[((crc >> 8) ^ bytes[i]) & 0xFF]);
  }
  return crc;
}
