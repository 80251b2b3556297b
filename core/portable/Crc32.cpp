#include "core/portable/Crc32.h"

#include <array>

namespace {

std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    table[i] = value;
  }
  return table;
}

}  // namespace

uint32_t Crc32(const void* data, size_t length, uint32_t previous) {
  static const std::array<uint32_t, 256> table = MakeTable();
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  uint32_t crc = ~previous;
  for (size_t i = 0; i < length; ++i) crc = table[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}
