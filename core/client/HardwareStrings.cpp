#include "core/client/HardwareStrings.h"

#include "core/client/NetworkAdapters.h"
#include "core/client/SmbiosFirmware.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>

HardwareStringLists SystemHardwareStrings::Read() {
  HardwareStringLists lists;
  GetPhysicalMacAddresses(lists.macAddresses, kHardwareStringsPerSource);
  GetSmbiosSystemUuids(lists.smbiosUuids, kHardwareStringsPerSource);
  return lists;
}

std::string GenerateDeviceId(HardwareStringSource& hardware) {
  const HardwareStringLists lists = hardware.Read();
  // Slots without a hardware string take random values, seeded by the tick count.
  std::srand(GetTickCount());
  std::array<uint16_t, 3> randomValues{};
  for (uint16_t& value : randomValues) value = static_cast<uint16_t>(std::rand());
  return EncodeDeviceIdText(MakeDeviceId(lists, randomValues, static_cast<uint32_t>(std::time(nullptr))));
}

bool ValidateDeviceId(const std::string& text, HardwareStringSource& hardware) {
  DeviceId id;
  if (!DecodeDeviceIdText(text, id)) return false;
  return DeviceIdMatchesHardware(id, hardware.Read());
}
