#include "core/base/portable/TextFileDecoding.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool StartsWith(const std::string& bytes, const char* mark, size_t length) {
  return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

// Reads one UTF-8 sequence at `at`; returns its length (0 when ill-formed)
// and the code point.
size_t ReadUtf8(const std::string& bytes, size_t at, char32_t& codePoint) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  size_t length = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
    codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

void AppendCodePoint(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

std::u16string Utf16FromBytes(const std::string& bytes, size_t start, bool bigEndian) {
  std::u16string text;
  text.reserve((bytes.size() - start) / 2);
  for (size_t at = start; at + 1 < bytes.size(); at += 2) {
    const unsigned first = static_cast<unsigned char>(bytes[at]);
    const unsigned second = static_cast<unsigned char>(bytes[at + 1]);
    text.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return text;
}

}  // namespace

bool IsValidUtf8(const std::string& bytes) {
  char32_t codePoint = 0;
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = ReadUtf8(bytes, at, codePoint);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::u16string Utf8ToUtf16(const std::string& bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  char32_t codePoint = 0;
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = ReadUtf8(bytes, at, codePoint);
    if (length == 0) {
      text.push_back(kReplacement);
      ++at;
      continue;
    }
    AppendCodePoint(text, codePoint);
    at += length;
  }
  return text;
}

DecodedTextFile DecodeTextFile(const std::string& bytes, const AnsiWidener& widenAnsi) {
  DecodedTextFile file;
  if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) {
    file.encoding = TextFileEncoding::kUtf8WithMark;
    file.text = Utf8ToUtf16(bytes.substr(3));
  } else if (StartsWith(bytes, "\xFF\xFE", 2)) {
    file.encoding = TextFileEncoding::kUtf16LittleEndian;
    file.text = Utf16FromBytes(bytes, 2, false);
  } else if (StartsWith(bytes, "\xFE\xFF", 2)) {
    file.encoding = TextFileEncoding::kUtf16BigEndian;
    file.text = Utf16FromBytes(bytes, 2, true);
  } else if (IsValidUtf8(bytes)) {
    file.encoding = TextFileEncoding::kUtf8;
    file.text = Utf8ToUtf16(bytes);
  } else {
    file.encoding = TextFileEncoding::kAnsi;
    if (widenAnsi) file.text = widenAnsi(bytes);
  }
  return file;
}

std::u16string TextForEditor(const DecodedTextFile& file) {
  if (file.encoding == TextFileEncoding::kUtf16LittleEndian || file.encoding == TextFileEncoding::kUtf16BigEndian) {
    return file.text;
  }
  std::u16string out;
  out.reserve(file.text.size() + 1);
  size_t lineStart = 0;
  for (size_t at = 0; at <= file.text.size(); ++at) {
    if (at < file.text.size() && file.text[at] != u'\r' && file.text[at] != u'\n') continue;
    if (at > lineStart) {
      out.append(file.text, lineStart, at - lineStart);
      out.push_back(u'\r');
    }
    lineStart = at + 1;
  }
  return out;
}
