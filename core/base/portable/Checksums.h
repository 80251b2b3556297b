#pragma once

// The checksums and digests of the program's records and requests.

#include <cstddef>
#include <cstdint>
#include <string>

// The standard reflected CRC-32 (polynomial 0xEDB88320, initial value and final
// XOR 0xFFFFFFFF), used by the account record, the management envelope, the
// download check and the updater check. `previous` continues a running CRC.
uint32_t Crc32(const void* data, size_t length, uint32_t previous = 0);

// CRC-16/XMODEM (polynomial 0x1021, initial value 0, not reflected, no final
// XOR): the check value and the hardware-string hash of the device identifier.
uint16_t Crc16Xmodem(const void* data, size_t length);

// MD5 of a byte string as 32 lowercase hexadecimal digits (leading zeros kept),
// the form used for request signatures, cache keys and result file names.
std::string ComputeMd5Hex(const std::string& bytes);
// The same digits as wide text.
std::wstring ComputeMd5HexW(const std::string& bytes);
