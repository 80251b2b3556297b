#include "core/stt/portable/RecognizedText.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

TEST(RecognizedText, RemovesTagsFollowedByASpace) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"[speaker1] hello", "hello"},
      {"a [00:01.2] b [x] c", "a b c"},
      {"end [tag]", "end [tag]"},           // no space after it: stays
      {"[] x", "[] x"},                     // nothing between the brackets
      {"[a b] x", "[a b] x"},               // white space inside
      {"[a]\tx", "[a]\tx"},                 // not followed by a space
      {"[[a] x", "x"},                      // from the first bracket to the first white space
      {"[a]b] x", "x"},
      {"[a] [b] x", "x"},
      {"\xE4\xBD\xA0[\xE8\xAF\xB4] \xE5\xA5\xBD", "\xE4\xBD\xA0\xE5\xA5\xBD"},  // UTF-8 inside the tag
      {"[ [a] b", "[ b"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RemoveBracketTags(c.text), c.expected) << c.text;
}

TEST(RecognizedText, AgreesWithTheExpression) {
  static const std::regex tag("\\[\\S+\\] ");
  const char* cases[] = {"[a] [b]  [c]x [d] ", "[[[ ]]] [x]] y", "a[b]c] d", "[\n] x", "]] [a]] ", "[a] ] [b] [c"};
  for (const char* text : cases) EXPECT_EQ(RemoveBracketTags(text), std::regex_replace(text, tag, "")) << text;
}

TEST(RecognizedText, LongTextWithoutSpacesDoesNotExhaustTheStack) {
  // Recognised Chinese has no spaces: one bracket before a long run.
  std::string text = "[";
  for (int i = 0; i < 300000; ++i) text += "\xE5\xA5\xBD";
  EXPECT_EQ(RemoveBracketTags(text), text);
  EXPECT_EQ(RemoveBracketTags("[t] " + text.substr(1)), text.substr(1));
}
