#include "core/portable/FileName.h"

std::wstring GetFileBaseName(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  const size_t dot = path.rfind(L'.');
  const size_t start = slash == std::wstring::npos ? 0 : slash + 1;
  if (dot == std::wstring::npos || dot < start) return std::wstring();
  return path.substr(start, dot - start);
}
