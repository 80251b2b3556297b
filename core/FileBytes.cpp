#include "core/FileBytes.h"

bool WriteFileBytes(const std::wstring& path, const void* bytes, size_t size, DWORD* error) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (error != nullptr) *error = GetLastError();
    return false;
  }
  DWORD written = 0;
  const bool ok = size <= MAXDWORD && WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) &&
                  written == size;
  if (error != nullptr) *error = ok ? 0 : GetLastError();
  CloseHandle(file);
  return ok;
}
