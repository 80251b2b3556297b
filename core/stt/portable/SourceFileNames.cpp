#include "core/stt/portable/SourceFileNames.h"

#include <limits>

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

size_t NameStart(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? 0 : separator + 1;
}

}  // namespace

bool HasAudioExtension(const std::wstring& path, const std::vector<std::wstring>& extensions) {
  const size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || dot < NameStart(path)) return false;
  const size_t length = path.size() - dot;
  for (const std::wstring& extension : extensions) {
    if (extension.size() != length) continue;
    bool same = true;
    for (size_t i = 0; i < length && same; ++i) same = FoldAscii(path[dot + i]) == FoldAscii(extension[i]);
    if (same) return true;
  }
  return false;
}

SourcePathParts SplitSourcePath(const std::wstring& path) {
  const size_t start = NameStart(path);
  return SourcePathParts{path.substr(0, start), path.substr(start)};
}

std::wstring WithTrailingSeparator(const std::wstring& folder) {
  if (folder.empty() || IsSeparator(folder.back())) return folder;
  return folder + L'\\';
}

std::wstring TranscriptOutputPath(const std::wstring& folder, const std::wstring& baseName, int64_t date,
                                  uint64_t milliseconds, const std::wstring& extension) {
  return folder + baseName + L'_' + std::to_wstring(date) + L'_' + std::to_wstring(milliseconds) + L'.' + extension;
}

std::vector<std::wstring> PickedFilePaths(const wchar_t* buffer, size_t size, size_t nameOffset) {
  std::vector<std::wstring> paths;
  if (buffer == nullptr || nameOffset == 0 || nameOffset >= size) return paths;
  // The folder is what stands before the first name, less the separator or
  // NUL between them; a root folder keeps its own "\" ("C:\" + name).
  std::wstring folder(buffer, nameOffset - 1);
  const size_t folderEnd = folder.find(L'\0');
  if (folderEnd != std::wstring::npos) folder.resize(folderEnd);
  folder = WithTrailingSeparator(folder);
  size_t at = nameOffset;
  while (at < size && buffer[at] != L'\0') {
    size_t end = at;
    while (end < size && buffer[end] != L'\0') ++end;
    paths.push_back(folder + std::wstring(buffer + at, end - at));
    at = end + 1;
  }
  return paths;
}

int ParseRowNumber(const std::wstring& text) {
  if (text.empty()) return 0;
  // Any number of leading zeros; the value itself must fit a row number.
  constexpr int64_t kLargest = std::numeric_limits<int>::max();
  int64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return 0;
    value = value * 10 + (c - L'0');
    if (value > kLargest) return 0;
  }
  return static_cast<int>(value);
}
