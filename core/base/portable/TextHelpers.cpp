#include "core/base/portable/TextHelpers.h"

std::string ReplaceAll(const std::string& text, const std::string& pattern, const std::string& replacement) {
  std::string result = text;
  if (pattern.empty()) return result;
  if (replacement.empty()) {
    for (size_t at = result.find(pattern); at != std::string::npos; at = result.find(pattern)) {
      result.erase(at, pattern.size());
    }
    return result;
  }
  for (size_t at = result.find(pattern); at != std::string::npos;
       at = result.find(pattern, at + replacement.size())) {
    result.replace(at, pattern.size(), replacement);
  }
  return result;
}

std::string PercentEncode(const std::string& value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
    if (unreserved) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 15]);
    }
  }
  return out;
}

std::wstring GetFileBaseName(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  const size_t dot = path.rfind(L'.');
  const size_t start = slash == std::wstring::npos ? 0 : slash + 1;
  if (dot == std::wstring::npos || dot < start) return std::wstring();
  return path.substr(start, dot - start);
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    wchar_t c = text[text.size() - suffix.size() + i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != suffix[i]) return false;
  }
  return true;
}
