#pragma once

// Test helpers that turn framework texts (UTF-16 in both builds) into UTF-8
// std::strings, so assertions compare and print them, and back.
#include <string>

#include "ui/base/portable/UIChar.h"

using UIStdString = std::basic_string<Trellis::UIChar>;

inline std::string ToUtf8(const Trellis::UIChar* text, size_t length = std::string::npos) {
  if (text == nullptr) return "(null)";
  std::string out;
  for (size_t i = 0; i < length && text[i] != 0; ++i) {
    unsigned code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<unsigned>(text[i + 1]) - 0xDC00);
      ++i;
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

inline std::string ToUtf8(const UIStdString& text) { return ToUtf8(text.c_str(), text.size()); }

// ASCII only: each byte becomes one character.
inline UIStdString Widen(const std::string& ascii) { return UIStdString(ascii.begin(), ascii.end()); }

// Well-formed UTF-8 to UTF-16 (the tests' own inputs).
inline UIStdString FromUtf8(const std::string& utf8) {
  UIStdString out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    unsigned code = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    i += static_cast<size_t>(extra) + 1;
    if (code >= 0x10000) {
      out += static_cast<Trellis::UIChar>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<Trellis::UIChar>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<Trellis::UIChar>(code);
    }
  }
  return out;
}
