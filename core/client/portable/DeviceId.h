#pragma once

// The device identifier: its record, its 12-byte and text forms, and how its
// slots are made from and matched against the hardware strings.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The device identifier: three hashes of this machine's hardware strings, the
// creation time and a check value, sent as a 16-character URL-safe Base64 text.
// A stored identifier stays valid while one of its slots still matches a
// current hardware string.
struct DeviceId {
  uint16_t slots[3];   // hardware-string hashes, or random values for unused slots
  uint32_t createdAt;  // seconds since 1970-01-01 UTC, low 32 bits
  uint16_t check;      // CRC-16/XMODEM of the 10 bytes before it
};

constexpr size_t kDeviceIdSize = 12;        // encoded bytes, little-endian
constexpr size_t kDeviceIdTextLength = 16;  // Base64 of 12 bytes, never padded
constexpr size_t kHardwareStringsPerSource = 6;

// Hardware strings of the machine: permanent MAC addresses of physical adapters
// ("%.2X-..." form) and SMBIOS system UUIDs ("%08x" x 4), each list in the order
// the system reports them, at most kHardwareStringsPerSource each.
struct HardwareStringLists {
  std::vector<std::string> macAddresses;
  std::vector<std::string> smbiosUuids;
};

std::array<uint8_t, kDeviceIdSize> DeviceIdToBytes(const DeviceId& id);
DeviceId DeviceIdFromBytes(const uint8_t (&bytes)[kDeviceIdSize]);

// CRC-16 of the encoded bytes 0..9.
uint16_t ComputeDeviceIdCheck(const DeviceId& id);

// A hardware string's slot value: the CRC-16 of its characters (0 when empty).
uint16_t HashHardwareString(const std::string& text);

// A new identifier: slots take the MAC hashes in order, then the SMBIOS ones,
// until three are filled; free slots take `randomValues` in order. Sets the check.
DeviceId MakeDeviceId(const HardwareStringLists& hardware, const std::array<uint16_t, 3>& randomValues,
                      uint32_t createdAt);

// True when a current MAC hash, or failing that an SMBIOS hash, is in a slot.
bool DeviceIdMatchesHardware(const DeviceId& id, const HardwareStringLists& hardware);

// The 16-character text: standard Base64 with "+" as "-" and "/" as "_".
std::string EncodeDeviceIdText(const DeviceId& id);

// Reads a text: exactly 16 characters of the URL-safe alphabet, decoding to 12
// bytes with a matching check value. False otherwise.
bool DecodeDeviceIdText(const std::string& text, DeviceId& id);

// A stored text is valid when it decodes and matches this machine's hardware.
bool ValidateDeviceIdText(const std::string& text, const HardwareStringLists& hardware);
