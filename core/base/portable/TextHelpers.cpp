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

namespace {

// The length of the well-formed UTF-8 character that starts at `at` and lies
// wholly inside the text, or 1 for a byte that starts none (a stray
// continuation byte, an invalid lead, an overlong or surrogate form, or a
// sequence that the text cuts short).
size_t WellFormedLengthAt(const std::string& text, size_t at) {
  auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = 1;
  unsigned char low = 0x80;   // range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  }
  if (length == 1 || at + length > text.size()) return 1;
  if (byte(at + 1) < low || byte(at + 1) > high) return 1;
  for (size_t i = 2; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

size_t Utf8PrefixLength(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  // A lead byte is never part of another character, so the character that
  // holds byte `maxBytes` starts at the nearest lead byte at most three bytes
  // before it; the cut moves back only when that lead starts a well-formed
  // character running past the cut.
  size_t start = maxBytes;
  while (start > 0 && maxBytes - start < 3 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  if (start == maxBytes) return maxBytes;
  return start + WellFormedLengthAt(text, start) > maxBytes ? start : maxBytes;
}
