#include "pagemint/portable/DocumentText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::u32string> Paragraphs(const std::string& utf8) {
  DocumentText text;
  TextError error;
  EXPECT_TRUE(ParseDocumentText(utf8, &text, &error)) << error.reason << " at " << error.offset;
  return text.paragraphs;
}

}  // namespace

TEST(DocumentText, SplitsLinesIntoParagraphs) {
  struct Case {
    const char* input;
    std::vector<std::u32string> paragraphs;
  } cases[] = {
      {"", {U""}},
      {"one line", {U"one line"}},
      {"a\r\nb\nc\rd", {U"a", U"b", U"c", U"d"}},
      {"a\n", {U"a"}},                    // a final line end opens no paragraph
      {"a\n\nb", {U"a", U"", U"b"}},      // an empty line stays an empty paragraph
      {"\n\n", {U"", U""}},
      {"a\r\n\r\n", {U"a", U""}},
      {"\xEF\xBB\xBFhi", {U"hi"}},        // byte-order mark skipped
      {"  lead\ttab  ", {U"  lead\ttab  "}},
      {"x\x01y\x0Bz\x7F", {U"xyz\x7F"}},  // C0 controls left out; DEL is a character
      {"\xEF\xBF\xBE\xEF\xBF\xBF!", {U"!"}},  // U+FFFE, U+FFFF left out
  };
  for (const Case& c : cases) EXPECT_EQ(Paragraphs(c.input), c.paragraphs) << c.input;
}

TEST(DocumentText, DecodesEveryUtf8Length) {
  EXPECT_EQ(Paragraphs("A\xC3\xA9\xE4\xBD\xA0\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"),
            (std::vector<std::u32string>{U"A\u00E9\u4F60\U0001F600\U0010FFFF"}));
}

TEST(DocumentText, RejectsMalformedUtf8WithTheOffset) {
  struct Case {
    const char* input;
    size_t offset;
  } cases[] = {
      {"ab\x80", 2},                  // stray continuation byte
      {"\xC0\xAF", 0},                // overlong two-byte form
      {"a\xE0\x80\xAF", 1},           // overlong three-byte form
      {"\xED\xA0\x80", 0},            // surrogate
      {"\xF4\x90\x80\x80", 0},        // above U+10FFFF
      {"xy\xE4\xBD", 2},              // cut at the end
      {"\xE4\x41\xA0", 0},            // continuation missing
      {"\xFF", 0},
  };
  for (const Case& c : cases) {
    DocumentText text;
    text.paragraphs = {U"untouched"};
    TextError error;
    EXPECT_FALSE(ParseDocumentText(c.input, &text, &error)) << c.input;
    EXPECT_EQ(error.offset, c.offset) << c.input;
    EXPECT_EQ(text.paragraphs, std::vector<std::u32string>{U"untouched"});
  }
}

TEST(DocumentText, AppendUtf8RoundTrips) {
  const std::u32string original = U"a\u00E9\u4F60\U0001F600";
  std::string utf8;
  for (char32_t c : original) AppendUtf8(c, &utf8);
  EXPECT_EQ(Paragraphs(utf8), std::vector<std::u32string>{original});
}
