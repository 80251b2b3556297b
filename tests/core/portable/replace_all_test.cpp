#include "core/portable/ReplaceAll.h"

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
