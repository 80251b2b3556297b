#include "pagemint/portable/RtfWriter.h"

#include <cstdint>

namespace {

// GB2312 charset for the font, so readers that pick fonts by charset choose a
// Chinese one; the text itself needs no code page since it is all escapes.
const char kHeader[] =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1"
    "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}"
    "\\pard\\plain\\f0\\fs24 ";

void AppendUnit(uint16_t unit, std::string* out) {
  // \uN takes a signed 16-bit number.
  *out += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "?";
}

void AppendCharacter(char32_t c, std::string* out) {
  switch (c) {
    case U'\\': *out += "\\\\"; return;
    case U'{': *out += "\\{"; return;
    case U'}': *out += "\\}"; return;
    case U'\t': *out += "\\tab "; return;
    default: break;
  }
  if (c >= 0x20 && c < 0x7F) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x10000) {
    AppendUnit(static_cast<uint16_t>(c), out);
  } else {
    const char32_t v = c - 0x10000;
    AppendUnit(static_cast<uint16_t>(0xD800 + (v >> 10)), out);
    AppendUnit(static_cast<uint16_t>(0xDC00 + (v & 0x3FF)), out);
  }
}

}  // namespace

std::string BuildRtf(const DocumentText& text) {
  std::string rtf = kHeader;
  for (size_t i = 0; i < text.paragraphs.size(); ++i) {
    if (i > 0) rtf += "\r\n\\par ";
    for (char32_t c : text.paragraphs[i]) AppendCharacter(c, &rtf);
  }
  rtf += "}\r\n";
  return rtf;
}
