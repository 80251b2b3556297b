#pragma once

// The byte transform shared by the account-record file and the management
// envelope: swap the two nibbles, then invert every bit. It is its own inverse,
// so the same call stores and restores.

#include <cstddef>
#include <cstdint>

inline uint8_t ScrambleByte(uint8_t byte) {
  return static_cast<uint8_t>(~((byte << 4) | (byte >> 4)));
}

// Transforms `length` bytes in place.
void ScrambleBytes(void* data, size_t length);
