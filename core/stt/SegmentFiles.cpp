#include "core/stt/SegmentFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "core/base/TextConversion.h"

namespace {

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Contains(const std::vector<std::wstring>& paths, const std::wstring& path) {
  return std::find(paths.begin(), paths.end(), path) != paths.end();
}

}  // namespace

std::wstring SegmentFilePath(const std::wstring& stem, int number) {
  wchar_t digits[16];
  std::swprintf(digits, 16, L"%02d", number);
  return stem + digits + L".mp3";
}

std::vector<std::wstring> CollectSegmentFiles(const std::wstring& stem, const std::vector<std::string>& logged) {
  std::vector<std::wstring> loggedPaths;
  for (const std::string& path : logged) loggedPaths.push_back(Utf8ToWide(path));
  std::vector<std::wstring> paths;
  for (int number = 0;; ++number) {
    const std::wstring path = SegmentFilePath(stem, number);
    if (!FileExists(path) && !Contains(loggedPaths, path)) break;
    paths.push_back(path);
  }
  for (const std::wstring& path : loggedPaths) {
    if (!Contains(paths, path)) paths.push_back(path);
  }
  return paths;
}

void RemoveSegmentFiles(const std::wstring& stem) {
  for (int number = 0; DeleteFileW(SegmentFilePath(stem, number).c_str()); ++number) {
  }
}
