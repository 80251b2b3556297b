#pragma once

// The hardware strings of this machine behind a replaceable source, and the
// device identifier made and checked from them.

#include "core/client/portable/DeviceId.h"

// Where the device identifier's hardware strings come from. The program reads
// the machine (SystemHardwareStrings); tests give fixed strings.
class HardwareStringSource {
 public:
  virtual ~HardwareStringSource() = default;
  // Up to kHardwareStringsPerSource MAC addresses and SMBIOS UUIDs; a source
  // that cannot be read gives an empty list.
  virtual HardwareStringLists Read() = 0;
};

// The permanent MAC addresses of physical PCI adapters and the SMBIOS system UUIDs.
class SystemHardwareStrings : public HardwareStringSource {
 public:
  HardwareStringLists Read() override;
};

// A new identifier text for this machine (16 characters).
std::string GenerateDeviceId(HardwareStringSource& hardware);

// True when the text is a well-formed identifier one of whose slots matches a
// current hardware string.
bool ValidateDeviceId(const std::string& text, HardwareStringSource& hardware);
