#pragma once

// The network adapters that count as this machine's hardware, and their MAC
// addresses.

#include <cstddef>
#include <string>
#include <vector>

// True when the network adapter (its GUID name) is a physical PCI device: its
// connection key's "PnPInstanceId" begins with "PCI\". Virtual adapters
// (tunnels, bridges, virtual machines) have other instance ids.
bool IsPhysicalPciAdapter(const std::string& adapterName);

// Permanent MAC addresses of the physical PCI adapters, "00-1A-2B-3C-4D-5E",
// in the system's adapter order, at most `capacity`. Adapters that cannot be
// opened or queried are skipped. False (and no addresses) when the adapter
// list cannot be read.
bool GetPhysicalMacAddresses(std::vector<std::string>& addresses, size_t capacity);
