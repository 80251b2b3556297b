#include "core/base/TempFolder.h"

#include <windows.h>

#include <vector>

std::wstring GetLongTempFolder() {
  wchar_t shortForm[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, shortForm);
  if (length == 0 || length > MAX_PATH) return std::wstring();
  CreateDirectoryW(shortForm, nullptr);
  std::wstring folder = shortForm;
  const DWORD longLength = GetLongPathNameW(shortForm, nullptr, 0);
  if (longLength > 0) {
    std::vector<wchar_t> longForm(longLength);
    if (GetLongPathNameW(shortForm, longForm.data(), longLength) > 0) folder = longForm.data();
  }
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}
