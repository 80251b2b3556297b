#pragma once

#include <cstddef>
#include <cstdint>

// The standard reflected CRC-32 (polynomial 0xEDB88320, initial value and final
// XOR 0xFFFFFFFF), used by the account record, the management envelope, the
// download check and the updater check. `previous` continues a running CRC.
uint32_t Crc32(const void* data, size_t length, uint32_t previous = 0);
