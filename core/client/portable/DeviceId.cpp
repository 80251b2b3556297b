#include "core/client/portable/DeviceId.h"

#include "core/base/portable/Base64.h"
#include "core/base/portable/Checksums.h"

#include <algorithm>

namespace {

// Hashes of at most kHardwareStringsPerSource strings of one source.
std::vector<uint16_t> HashesOf(const std::vector<std::string>& texts) {
  std::vector<uint16_t> hashes;
  const size_t count = std::min(texts.size(), kHardwareStringsPerSource);
  for (size_t i = 0; i < count; ++i) hashes.push_back(HashHardwareString(texts[i]));
  return hashes;
}

bool AnySlotHolds(const DeviceId& id, const std::vector<uint16_t>& hashes) {
  for (uint16_t hash : hashes) {
    if (std::find(std::begin(id.slots), std::end(id.slots), hash) != std::end(id.slots)) return true;
  }
  return false;
}

}  // namespace

std::array<uint8_t, kDeviceIdSize> DeviceIdToBytes(const DeviceId& id) {
  std::array<uint8_t, kDeviceIdSize> bytes{};
  for (int slot = 0; slot < 3; ++slot) {
    bytes[2 * slot] = static_cast<uint8_t>(id.slots[slot]);
    bytes[2 * slot + 1] = static_cast<uint8_t>(id.slots[slot] >> 8);
  }
  for (int i = 0; i < 4; ++i) bytes[6 + i] = static_cast<uint8_t>(id.createdAt >> (8 * i));
  bytes[10] = static_cast<uint8_t>(id.check);
  bytes[11] = static_cast<uint8_t>(id.check >> 8);
  return bytes;
}

DeviceId DeviceIdFromBytes(const uint8_t (&bytes)[kDeviceIdSize]) {
  DeviceId id{};
  for (int slot = 0; slot < 3; ++slot) {
    id.slots[slot] = static_cast<uint16_t>(bytes[2 * slot] | bytes[2 * slot + 1] << 8);
  }
  for (int i = 0; i < 4; ++i) id.createdAt |= static_cast<uint32_t>(bytes[6 + i]) << (8 * i);
  id.check = static_cast<uint16_t>(bytes[10] | bytes[11] << 8);
  return id;
}

uint16_t ComputeDeviceIdCheck(const DeviceId& id) {
  const std::array<uint8_t, kDeviceIdSize> bytes = DeviceIdToBytes(id);
  return Crc16Xmodem(bytes.data(), 10);
}

uint16_t HashHardwareString(const std::string& text) { return Crc16Xmodem(text.data(), text.size()); }

DeviceId MakeDeviceId(const HardwareStringLists& hardware, const std::array<uint16_t, 3>& randomValues,
                      uint32_t createdAt) {
  std::vector<uint16_t> hashes = HashesOf(hardware.macAddresses);
  const std::vector<uint16_t> smbios = HashesOf(hardware.smbiosUuids);
  hashes.insert(hashes.end(), smbios.begin(), smbios.end());

  DeviceId id{};
  size_t nextRandom = 0;
  for (size_t slot = 0; slot < 3; ++slot) {
    id.slots[slot] = slot < hashes.size() ? hashes[slot] : randomValues[nextRandom++];
  }
  id.createdAt = createdAt;
  id.check = ComputeDeviceIdCheck(id);
  return id;
}

bool DeviceIdMatchesHardware(const DeviceId& id, const HardwareStringLists& hardware) {
  return AnySlotHolds(id, HashesOf(hardware.macAddresses)) || AnySlotHolds(id, HashesOf(hardware.smbiosUuids));
}

std::string EncodeDeviceIdText(const DeviceId& id) {
  const std::array<uint8_t, kDeviceIdSize> bytes = DeviceIdToBytes(id);
  std::string text = Base64Encode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  std::replace(text.begin(), text.end(), '+', '-');
  std::replace(text.begin(), text.end(), '/', '_');
  return text;
}

bool DecodeDeviceIdText(const std::string& text, DeviceId& id) {
  if (text.size() != kDeviceIdTextLength) return false;
  // Only the URL-safe alphabet: the text travels unescaped in query strings.
  const bool urlSafe = std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
  });
  if (!urlSafe) return false;
  std::string standard = text;
  std::replace(standard.begin(), standard.end(), '-', '+');
  std::replace(standard.begin(), standard.end(), '_', '/');
  const std::string decoded = Base64Decode(standard);
  if (decoded.size() != kDeviceIdSize) return false;
  uint8_t bytes[kDeviceIdSize];
  std::copy(decoded.begin(), decoded.end(), bytes);
  const DeviceId candidate = DeviceIdFromBytes(bytes);
  if (candidate.check != ComputeDeviceIdCheck(candidate)) return false;
  id = candidate;
  return true;
}

bool ValidateDeviceIdText(const std::string& text, const HardwareStringLists& hardware) {
  DeviceId id;
  return DecodeDeviceIdText(text, id) && DeviceIdMatchesHardware(id, hardware);
}
