#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The text a document is made from: paragraphs of Unicode code points, read
// from UTF-8 input with one paragraph per line.
struct DocumentText {
  std::vector<std::u32string> paragraphs;
};

// Why reading the input failed; `offset` is the byte where the fault starts.
struct TextError {
  std::string reason;
  size_t offset = 0;
};

// Reads UTF-8 bytes strictly: overlong forms, surrogates, code points above
// U+10FFFF and cut sequences are errors (a document must not silently change
// the text it was given). A leading byte-order mark is skipped. "\r\n", "\n"
// and "\r" each end a paragraph; a final line end adds no empty paragraph, and
// an empty input gives one empty paragraph. Tabs are kept; the other C0
// control characters and U+FFFE/U+FFFF are left out, since neither document
// format can carry them.
bool ParseDocumentText(const std::string& utf8, DocumentText* text, TextError* error);

// Appends the UTF-8 form of one code point (which must be a valid scalar value).
void AppendUtf8(char32_t codePoint, std::string* out);
