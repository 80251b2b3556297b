#include "core/client/NetworkAdapters.h"

#include "core/client/RegistryText.h"

// winsock2 before windows.h, as the adapter header requires.
#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include "core/base/ScopedHandle.h"

#include <cstdio>

namespace {

const char kNetworkClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr ULONG kSkipAnycast = 2;
constexpr ULONG kFirstListBytes = 16 * 1024;  // room for the adapter list of most machines
constexpr DWORD kQueryGlobalStats = 0x0017000E;  // the NDIS statistics query of an adapter device
constexpr DWORD kPermanentAddressOid = 0x01010101;
constexpr size_t kAddressOffset = 8;  // where the adapter answer carries the address

// The permanent address of one adapter device, or "" when it cannot be asked.
std::string QueryPermanentAddress(const std::string& adapterName) {
  const std::string device = "\\\\.\\" + adapterName;
  OwnedHandle handle(CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  if (!handle) return std::string();
  DWORD input[3] = {kPermanentAddressOid, 0, 0};
  unsigned char output[512] = {};
  DWORD returned = 0;
  std::string text;
  if (DeviceIoControl(handle.Get(), kQueryGlobalStats, input, sizeof input, output, sizeof output, &returned, nullptr) &&
      returned >= kAddressOffset + 6) {
    const unsigned char* a = output + kAddressOffset;
    char formatted[18];
    std::snprintf(formatted, sizeof formatted, "%.2X-%.2X-%.2X-%.2X-%.2X-%.2X", a[0], a[1], a[2], a[3], a[4], a[5]);
    text = formatted;
  }
  return text;
}

}  // namespace

bool IsPhysicalPciAdapter(const std::string& adapterName) {
  std::string instanceId;
  if (!ReadRegistryText(HKEY_LOCAL_MACHINE, kNetworkClassKey + adapterName + "\\Connection", "PnPInstanceId",
                        instanceId)) {
    return false;
  }
  return instanceId.compare(0, 4, "PCI\\") == 0;
}

bool GetPhysicalMacAddresses(std::vector<std::string>& addresses, size_t capacity) {
  addresses.clear();
  // Each reading of the adapter list is slow (it gathers every adapter's
  // addresses), so the first one is given room for a common machine's list;
  // only a longer list is read again, into a buffer of the size it needs.
  ULONG size = kFirstListBytes;
  std::vector<unsigned char> buffer(size, 0);
  ULONG result = GetAdaptersAddresses(AF_UNSPEC, kSkipAnycast, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  if (result == ERROR_BUFFER_OVERFLOW && size > 0) {
    buffer.assign(size, 0);
    result = GetAdaptersAddresses(AF_UNSPEC, kSkipAnycast, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (result != NO_ERROR) return false;
  auto* list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  for (const IP_ADAPTER_ADDRESSES* adapter = list; adapter != nullptr && addresses.size() < capacity;
       adapter = adapter->Next) {
    if (adapter->AdapterName == nullptr || !IsPhysicalPciAdapter(adapter->AdapterName)) continue;
    std::string address = QueryPermanentAddress(adapter->AdapterName);
    if (!address.empty()) addresses.push_back(address);
  }
  return true;
}
