#pragma once

// Decoding of the text files a user imports into the text-to-speech editor.
// The bytes' own byte-order mark decides first: UTF-8, UTF-16 little-endian
// or UTF-16 big-endian. A file without a mark is read as UTF-8 when its bytes
// are valid UTF-8, and through the ANSI code page otherwise (the common case
// of a file saved by an older editor). Texts come out as UTF-16 code units,
// so no character is lost on the way to the editor.

#include <cstddef>
#include <functional>
#include <string>

enum class TextFileEncoding {
  kUtf8WithMark,
  kUtf16LittleEndian,
  kUtf16BigEndian,
  kUtf8,  // no mark, valid UTF-8 (plain ASCII included)
  kAnsi,  // no mark, not valid UTF-8
};

// Widens bytes of the ANSI code page (the caller's platform conversion).
using AnsiWidener = std::function<std::u16string(const std::string& bytes)>;

struct DecodedTextFile {
  TextFileEncoding encoding = TextFileEncoding::kUtf8;
  std::u16string text;  // the whole text after the mark, line breaks as in the file
};

// True when `bytes` is well-formed UTF-8: no stray continuation bytes, no
// truncated or over-long sequences, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& bytes);

// UTF-8 to UTF-16; each ill-formed byte becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& bytes);

// Decodes a whole file. `widenAnsi` is called only for a file of the kAnsi kind.
// An odd last byte of a UTF-16 file is dropped.
DecodedTextFile DecodeTextFile(const std::string& bytes, const AnsiWidener& widenAnsi);

// The text as the editor takes it from a file of that encoding: UTF-8 and
// ANSI texts are split at every CR and LF, empty lines are dropped and each
// line ends with "\r"; UTF-16 texts keep their line breaks.
std::u16string TextForEditor(const DecodedTextFile& file);
