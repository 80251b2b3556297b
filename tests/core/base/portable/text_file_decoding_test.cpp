#include "core/base/portable/TextFileDecoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Stands in for the platform's code page conversion: each byte as Latin-1,
// marked so a test sees that the ANSI path was taken.
std::u16string FakeAnsi(const std::string& bytes) {
  std::u16string text = u"ansi:";
  for (unsigned char byte : bytes) text.push_back(static_cast<char16_t>(byte));
  return text;
}

TEST(TextFileDecoding, TheMarkOrTheBytesChooseTheDecoding) {
  struct Case {
    const char* name;
    std::string bytes;
    TextFileEncoding encoding;
    std::u16string text;
  } cases[] = {
      {"utf-8 with mark", "\xEF\xBB\xBF\xE4\xBD\xA0\xE5\xA5\xBD", TextFileEncoding::kUtf8WithMark, u"你好"},
      {"utf-8 without mark", "\xE4\xBD\xA0\xE5\xA5\xBD", TextFileEncoding::kUtf8, u"你好"},
      {"plain ascii", "abc", TextFileEncoding::kUtf8, u"abc"},
      {"empty file", "", TextFileEncoding::kUtf8, u""},
      // Outside the Chinese code page: survives because nothing goes through it.
      {"utf-8 beyond the code page", "\xC3\xA9\xE0\xB8\x81", TextFileEncoding::kUtf8, u"é\u0e01"},
      {"utf-8 four-byte character", "\xF0\x9F\x98\x80", TextFileEncoding::kUtf8, u"\U0001F600"},
      {"utf-16 little-endian", std::string("\xFF\xFE\x60\x4F\x7D\x59\x0D\x00\x0A\x00", 10),
       TextFileEncoding::kUtf16LittleEndian, u"你好\r\n"},
      {"utf-16 big-endian is swapped", std::string("\xFE\xFF\x4F\x60\x59\x7D\x00\x41", 8),
       TextFileEncoding::kUtf16BigEndian, u"你好A"},
      {"utf-16 odd last byte dropped", std::string("\xFF\xFE\x41\x00\x42", 5), TextFileEncoding::kUtf16LittleEndian,
       u"A"},
      {"utf-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), TextFileEncoding::kUtf16LittleEndian,
       u"\U0001F600"},
      // GBK bytes of 你好 are not UTF-8: the ANSI code page reads them.
      {"code page bytes", "\xC4\xE3\xBA\xC3", TextFileEncoding::kAnsi, u"ansi:\u00c4\u00e3\u00ba\u00c3"},
      {"truncated sequence", "ab\xE4\xBD", TextFileEncoding::kAnsi, u"ansi:ab\u00e4\u00bd"},
      {"over-long slash", "\xC0\xAF", TextFileEncoding::kAnsi, u"ansi:\u00c0\u00af"},
      {"encoded surrogate", "\xED\xA0\x80", TextFileEncoding::kAnsi, u"ansi:\u00ed\u00a0\u0080"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", TextFileEncoding::kAnsi, u"ansi:\u00f4\u0090\u0080\u0080"},
      {"one byte short of a mark", "\xEF\xBB", TextFileEncoding::kAnsi, u"ansi:\u00ef\u00bb"},
  };
  for (const Case& c : cases) {
    const DecodedTextFile file = DecodeTextFile(c.bytes, FakeAnsi);
    EXPECT_EQ(file.encoding, c.encoding) << c.name;
    EXPECT_TRUE(file.text == c.text) << c.name;
  }
}

TEST(TextFileDecoding, AMarkedUtf8FileWithBadBytesKeepsTheRestAndMarksTheBadByte) {
  const DecodedTextFile file = DecodeTextFile("\xEF\xBB\xBF" "a\xFF" "b", FakeAnsi);
  EXPECT_EQ(file.encoding, TextFileEncoding::kUtf8WithMark);
  EXPECT_TRUE(file.text == u"a\uFFFDb");
}

TEST(TextFileDecoding, EditorTextSplitsLinesOfUtf8AndAnsiButKeepsUtf16AsItIs) {
  struct Case {
    TextFileEncoding encoding;
    std::u16string text;
    std::u16string editor;
  } cases[] = {
      {TextFileEncoding::kUtf8, u"one\r\ntwo\nthree", u"one\rtwo\rthree\r"},
      {TextFileEncoding::kUtf8WithMark, u"\r\n\r\nline\n\n\nlast\r\n", u"line\rlast\r"},
      {TextFileEncoding::kAnsi, u"一行\r二行", u"一行\r二行\r"},
      {TextFileEncoding::kUtf8, u"", u""},
      {TextFileEncoding::kUtf16LittleEndian, u"a\r\n\r\nb", u"a\r\n\r\nb"},
      {TextFileEncoding::kUtf16BigEndian, u"a\nb", u"a\nb"},
  };
  for (const Case& c : cases) {
    DecodedTextFile file;
    file.encoding = c.encoding;
    file.text = c.text;
    EXPECT_TRUE(TextForEditor(file) == c.editor) << static_cast<int>(c.encoding);
  }
}

}  // namespace
