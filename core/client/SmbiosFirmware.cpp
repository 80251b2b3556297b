#include "core/client/SmbiosFirmware.h"

#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/client/portable/SmbiosTable.h"

#include <windows.h>
#include <wbemidl.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'
constexpr size_t kRawHeaderSize = 8;              // the firmware-table header before the structures

using GetSystemFirmwareTableFunction = UINT(WINAPI*)(DWORD, DWORD, PVOID, DWORD);

// The raw table through the firmware-table query (Vista SP1 and later).
bool ReadFromFirmware(std::vector<uint8_t>& table) {
  HMODULE kernel = GetModuleHandleW(L"Kernel32.dll");
  if (kernel == nullptr) kernel = LoadLibraryW(L"Kernel32.dll");
  if (kernel == nullptr) return false;
  auto query = reinterpret_cast<GetSystemFirmwareTableFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetSystemFirmwareTable")));
  if (query == nullptr) return false;
  const UINT size = query(kRawSmbiosProvider, 0, nullptr, 0);
  if (size == 0) return false;
  std::vector<uint8_t> buffer(size, 0);
  const UINT read = query(kRawSmbiosProvider, 0, buffer.data(), size);
  if (read == 0 || read > size) return false;
  buffer.resize(read);
  table.swap(buffer);
  return true;
}

// One attempt at the raw table through WMI, laid out like the firmware
// query's (8-byte header with the data length, then the structures). Every COM
// object is released before it returns. `created` is the locator's result.
bool QueryWmiTable(std::vector<uint8_t>& table, HRESULT& created) {
  ComPtr<IWbemLocator> locator;
  ComPtr<IWbemServices> services;
  ComPtr<IEnumWbemClassObject> enumerator;
  ComPtr<IWbemClassObject> object;
  created = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                             locator.ReceiveVoid());
  if (FAILED(created) || locator.Get() == nullptr) return false;
  OwnedBstr space(SysAllocString(L"ROOT\\WMI"));
  OwnedBstr className(SysAllocString(L"MSSMBios_RawSMBiosTables"));
  ULONG returned = 0;
  if (FAILED(locator->ConnectServer(space.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.Receive())) ||
      FAILED(CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE)) ||
      FAILED(services->CreateInstanceEnum(className.Get(), 0, nullptr, enumerator.Receive())) ||
      enumerator->Next(WBEM_INFINITE, 1, object.Receive(), &returned) != WBEM_S_NO_ERROR || returned != 1) {
    return false;
  }
  VARIANT data;
  VariantInit(&data);
  bool ok = false;
  if (SUCCEEDED(object->Get(L"SMBiosData", 0, &data, nullptr, nullptr)) && data.vt == (VT_ARRAY | VT_UI1) &&
      data.parray != nullptr) {
    LONG lower = 0;
    LONG upper = -1;
    void* bytes = nullptr;
    if (SUCCEEDED(SafeArrayGetLBound(data.parray, 1, &lower)) &&
        SUCCEEDED(SafeArrayGetUBound(data.parray, 1, &upper)) && upper >= lower &&
        SUCCEEDED(SafeArrayAccessData(data.parray, &bytes))) {
      const uint32_t length = static_cast<uint32_t>(upper - lower + 1);
      std::vector<uint8_t> buffer(kRawHeaderSize + length, 0);
      std::memcpy(&buffer[4], &length, 4);
      std::memcpy(&buffer[kRawHeaderSize], bytes, length);
      SafeArrayUnaccessData(data.parray);
      table.swap(buffer);
      ok = true;
    }
  }
  VariantClear(&data);
  return ok;
}

// WMI, initialising COM for this call when the thread has not done so.
bool ReadFromWmi(std::vector<uint8_t>& table) {
  HRESULT created = S_OK;
  if (QueryWmiTable(table, created)) return true;
  if (created != CO_E_NOTINITIALIZED || FAILED(CoInitialize(nullptr))) return false;
  const bool ok = QueryWmiTable(table, created);
  CoUninitialize();
  return ok;
}

}  // namespace

bool GetSmbiosSystemUuids(std::vector<std::string>& uuids, size_t capacity) {
  uuids.clear();
  std::vector<uint8_t> table;
  if (!ReadFromFirmware(table) && !ReadFromWmi(table)) {
    DebugTrace(L"SMBIOS: no table from the firmware query or WMI");
    return false;
  }
  uuids = ParseSmbiosSystemUuids(table.data(), table.size(), capacity);
  return true;
}
