#include "core/base/portable/TextHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

TEST(ReplaceAll, ReplacesEveryOccurrence) {
  struct Case {
    const char* text;
    const char* pattern;
    const char* replacement;
    const char* result;
  } cases[] = {
      {"aaa", "a", "aa", "aaaaaa"},      // inserted text is not rescanned
      {"a+b+c", "+", "%2B", "a%2Bb%2Bc"},
      {"abc", "x", "y", "abc"},
      {"", "a", "b", ""},
      {"abab", "ab", "ba", "baba"},
      {"aabbc", "ab", "", "c"},          // removals that form new occurrences remove them too
      {"xyz", "xyz", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.result) << c.text;
}

TEST(ReplaceAll, EmptyPatternLeavesTheTextUnchanged) { EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc"); }

TEST(FormEncoding, EncodesEverythingButUnreservedCharacters) {
  struct Case {
    const char* value;
    const char* encoded;
  } cases[] = {
      {"", ""},
      {"AZaz09-._~", "AZaz09-._~"},
      {"http://h:1/colud/ars/files/1.mp3?a=1&b=2+3%", "http%3A%2F%2Fh%3A1%2Fcolud%2Fars%2Ffiles%2F1.mp3%3Fa%3D1%26b%3D2%2B3%25"},
      {"a b", "a%20b"},
      {"\xE4\xBD\xA0", "%E4%BD%A0"},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncode(c.value), c.encoded) << c.value;
}

TEST(Utf8PrefixLength, CutsOnlyBetweenCharacters) {
  // "测" is E6 B5 8B, "é" C3 A9, "😀" F0 9F 98 80.
  struct Case {
    const char* text;
    size_t maxBytes;
    size_t length;
  } cases[] = {
      {"abc", 5, 3},                          // fits whole
      {"abc", 3, 3},
      {"abc", 2, 2},
      {"ab\xE6\xB5\x8B", 4, 2},               // inside the three-byte character: before it
      {"ab\xE6\xB5\x8B", 3, 2},
      {"ab\xE6\xB5\x8B", 2, 2},
      {"ab\xE6\xB5\x8Bx", 5, 5},              // just after it
      {"\xC3\xA9\xC3\xA9", 3, 2},
      {"\xF0\x9F\x98\x80z", 3, 0},            // nothing of a four-byte character fits
      {"\xF0\x9F\x98\x80z", 4, 4},
      {"\xE6\xB5\x8B\xE6\xB5\x8B", 0, 0},
      {"a\x80\x80\x80\x80\x80", 4, 4},        // stray continuation bytes count one by one
      {"a\xFF\xFF\xFF", 2, 2},                // so do bytes that never start a character
      // A lead byte whose sequence is not well-formed is a byte of its own too.
      {"ab\xE0\x8F", 3, 3},                  // overlong form
      {"ab\xE0\x8F\x80", 3, 3},
      {"ab\xE6\xB5", 3, 3},                  // a sequence the text cuts short
      {"ab\xF0\x9F\x98", 4, 4},
      {"ab\xF0\x9F\x98", 3, 3},
      {"a\xE6\xB5" "A", 2, 2},               // broken off by an ASCII byte
      {"a\xED\xA0\x80", 2, 2},              // a surrogate
      {"a\xF4\x90\x80\x80", 3, 3},          // beyond U+10FFFF
      {"a\xF0\x8F\xBF\xBF", 2, 2},          // overlong four-byte form
      {"a\xED\x9F\xBF", 2, 1},              // U+D7FF is a character
      {"a\xF4\x8F\xBF\xBF", 4, 1},          // so is U+10FFFF
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8PrefixLength(c.text, c.maxBytes), c.length) << c.text << " " << c.maxBytes;
}

namespace {

// Where the characters of a UTF-8 text start, read from the front by code
// point value: a sequence counts as one character only when it decodes to a
// scalar value in its shortest form; every other byte is a character of its own.
std::vector<bool> CharacterStarts(const std::string& text) {
  std::vector<bool> starts(text.size() + 1, false);
  size_t at = 0;
  while (at < text.size()) {
    starts[at] = true;
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    uint32_t value = length == 4 ? lead & 0x07u : length == 3 ? lead & 0x0Fu : lead & 0x1Fu;
    bool whole = length > 1 && at + length <= text.size();
    for (size_t i = 1; whole && i < length; ++i) {
      const unsigned char byte = static_cast<unsigned char>(text[at + i]);
      whole = (byte & 0xC0) == 0x80;
      value = value << 6 | (byte & 0x3Fu);
    }
    static const uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    whole = whole && value >= kShortest[length] && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
    at += whole ? length : 1;
  }
  starts[text.size()] = true;
  return starts;
}

}  // namespace

// Random byte strings, mostly made of the pieces of UTF-8 characters: the cut
// is the last character start at or before the limit.
TEST(Utf8PrefixLength, CutsAtTheLastCharacterStartOfRandomBytes) {
  static const unsigned char kBytes[] = {'a', 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF,
                                         0xE0, 0xE6, 0xED, 0xEF, 0xF0, 0xF3, 0xF4, 0xF5, 0xF8, 0xFF};
  uint32_t state = 2024;
  auto next = [&state]() {
    state = state * 1103515245u + 12345u;
    return state >> 16;
  };
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    const size_t length = next() % 12;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>(kBytes[next() % sizeof(kBytes)]);
    const std::vector<bool> starts = CharacterStarts(text);
    for (size_t maxBytes = 0; maxBytes <= length + 1; ++maxBytes) {
      size_t expected = std::min(maxBytes, text.size());
      while (!starts[expected]) --expected;
      ASSERT_EQ(Utf8PrefixLength(text, maxBytes), expected) << testing::PrintToString(text) << " " << maxBytes;
    }
  }
}
