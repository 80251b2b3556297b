#pragma once

#include <cstddef>
#include <cstdint>

// CRC-16/XMODEM (polynomial 0x1021, initial value 0, not reflected, no final
// XOR): the check value and the hardware-string hash of the device identifier.
uint16_t Crc16Xmodem(const void* data, size_t length);
