#include "core/base/portable/TextHelpers.h"

#include <gtest/gtest.h>

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
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8PrefixLength(c.text, c.maxBytes), c.length) << c.text << " " << c.maxBytes;
}
