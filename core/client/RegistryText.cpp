#include "core/client/RegistryText.h"

#include <vector>

#include "core/base/ScopedHandle.h"

bool ReadRegistryText(HKEY root, const std::string& subKey, const std::string& valueName, std::string& text) {
  OwnedRegistryKey key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return false;
  DWORD type = 0;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
  bool ok = false;
  if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    // One byte more than the value, so the text ends even when the stored
    // value carries no terminator.
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    DWORD read = size;
    status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
    if (status == ERROR_SUCCESS && read <= size) {
      text.assign(buffer.data(), read);
      text.resize(std::char_traits<char>::length(text.c_str()));
      ok = true;
    }
  }
  return ok;
}
