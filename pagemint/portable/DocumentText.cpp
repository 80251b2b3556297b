#include "pagemint/portable/DocumentText.h"

namespace {

// Decodes one UTF-8 sequence starting at `pos`; returns its length, or 0 when
// the bytes there are not a valid sequence.
size_t DecodeOne(const std::string& bytes, size_t pos, char32_t* codePoint) {
  const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byteAt(pos);
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;  // continuation byte, overlong two-byte lead (C0, C1) or F5..FF
  }
  if (bytes.size() - pos < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = byteAt(pos + i);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *codePoint = value;
  return length;
}

bool IsCarried(char32_t c) {
  if (c == U'\t') return true;
  if (c < 0x20) return false;
  return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

bool ParseDocumentText(const std::string& utf8, DocumentText* text, TextError* error) {
  std::vector<std::u32string> paragraphs(1);
  size_t pos = 0;
  if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  bool lineEndPending = false;  // a line end was read; the next character opens a paragraph
  while (pos < utf8.size()) {
    char32_t c = 0;
    const size_t length = DecodeOne(utf8, pos, &c);
    if (length == 0) {
      error->reason = "the input is not valid UTF-8";
      error->offset = pos;
      return false;
    }
    pos += length;
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && pos < utf8.size() && utf8[pos] == '\n') ++pos;
      if (lineEndPending) paragraphs.emplace_back();
      lineEndPending = true;
      continue;
    }
    if (lineEndPending) {
      paragraphs.emplace_back();
      lineEndPending = false;
    }
    if (IsCarried(c)) paragraphs.back().push_back(c);
  }
  text->paragraphs = std::move(paragraphs);
  return true;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}
