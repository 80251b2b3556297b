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

size_t Utf8PrefixLength(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  // Find where the character that holds byte `maxBytes` starts: at most three
  // continuation bytes (10xxxxxx) lie between a lead byte and the cut.
  size_t start = maxBytes;
  while (start > 0 && maxBytes - start < 3 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  const unsigned char lead = static_cast<unsigned char>(text[start]);
  size_t length = 1;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else if (lead >= 0xE0) length = lead <= 0xEF ? 3 : 1;
  else if (lead >= 0xC2) length = 2;
  // A lead byte whose character runs past the cut: cut before it. Anything
  // else (a stray continuation byte, an invalid lead) is a byte of its own.
  return (length > 1 && start + length > maxBytes && start < maxBytes) ? start : maxBytes;
}
