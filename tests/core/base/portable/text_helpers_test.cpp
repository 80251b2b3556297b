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
