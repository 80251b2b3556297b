#include "core/client/portable/SmbiosTable.h"

#include <cstdio>

namespace {

constexpr size_t kHeaderSize = 8;
constexpr uint8_t kSystemInformationType = 1;
constexpr uint8_t kEndOfTableType = 127;
constexpr size_t kStructureHeaderSize = 4;  // type, length, 16-bit handle
constexpr size_t kUuidOffset = 8;
constexpr size_t kUuidSize = 16;

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::string FormatUuid(const uint8_t* bytes) {
  char text[33];
  std::snprintf(text, sizeof text, "%08x%08x%08x%08x", static_cast<unsigned>(ReadLittleEndian32(bytes)),
                static_cast<unsigned>(ReadLittleEndian32(bytes + 4)),
                static_cast<unsigned>(ReadLittleEndian32(bytes + 8)),
                static_cast<unsigned>(ReadLittleEndian32(bytes + 12)));
  return text;
}

}  // namespace

std::vector<std::string> ParseSmbiosSystemUuids(const uint8_t* table, size_t size, size_t capacity) {
  std::vector<std::string> uuids;
  if (table == nullptr || size < kHeaderSize) return uuids;
  // The header's length may claim more than the buffer holds; trust the smaller.
  size_t end = kHeaderSize + ReadLittleEndian32(table + 4);
  if (end > size || end < kHeaderSize) end = size;

  size_t offset = kHeaderSize;
  while (uuids.size() < capacity && end - offset >= kStructureHeaderSize) {
    const uint8_t type = table[offset];
    const size_t length = table[offset + 1];
    if (length < kStructureHeaderSize || length > end - offset) break;
    // Structures of SMBIOS 2.0 end before the UUID: only a full one is read.
    if (type == kSystemInformationType && length >= kUuidOffset + kUuidSize) {
      uuids.push_back(FormatUuid(table + offset + kUuidOffset));
    }
    if (type == kEndOfTableType) break;
    // The string set follows the formatted part and ends with two zero bytes
    // (just two zeros when the structure has no strings).
    size_t strings = offset + length;
    while (strings + 1 < end && !(table[strings] == 0 && table[strings + 1] == 0)) ++strings;
    if (strings + 1 >= end) break;
    offset = strings + 2;
  }
  return uuids;
}
