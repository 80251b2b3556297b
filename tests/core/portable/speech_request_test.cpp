#include "core/portable/SpeechRequest.h"

#include <gtest/gtest.h>

#include <string>

TEST(SynthesisForm, SignsTheEscapedTextAndListsTheSettings) {
  const SynthesisSettings settings{4, 5, 100510000, "neutral", "wav"};
  std::string form;
  ASSERT_TRUE(BuildSynthesisForm("<speak>hello</speak>", settings, form));
  EXPECT_EQ(form,
            "text=PHNwZWFrPmhlbGxvPC9zcGVhaz4%3D&volume=4&speed=5&voiceType=100510000&emotion=neutral&codec=wav"
            "&sign=561bb0ae79cc910527cba623d76e5a04");
}

TEST(SynthesisForm, RefusesAFormThatDoesNotFit) {
  const SynthesisSettings settings{4, 4, 100510000, "neutral", "mp3"};
  std::string form = "unchanged";
  // 14900 bytes give 19868 Base64 characters, and the form stays below 20000.
  ASSERT_TRUE(BuildSynthesisForm(std::string(14900, 'a'), settings, form));
  EXPECT_LT(form.size(), kRequestFormCapacity);
  form = "unchanged";
  EXPECT_FALSE(BuildSynthesisForm(std::string(14950, 'a'), settings, form));  // the form outgrows it
  EXPECT_FALSE(BuildSynthesisForm(std::string(15000, '\xff'), settings, form));  // so does the escaped text
  EXPECT_EQ(form, "unchanged");
}

TEST(SpeechReply, ReadsTheCodeWithTypeChecks) {
  struct Case {
    bool transferred;
    const char* body;
    SpeechReplyState state;
  } cases[] = {
      {true, R"({"code":200,"data":"AAAA"})", SpeechReplyState::Ok},
      {true, R"({"code":401,"msg":"bad sign"})", SpeechReplyState::CodeNotOk},
      {false, R"({"code":200})", SpeechReplyState::Unreadable},
      {true, "", SpeechReplyState::Unreadable},
      {true, "<html>busy</html>", SpeechReplyState::Unreadable},
      {true, "[200]", SpeechReplyState::Unreadable},
      {true, R"({"data":"AAAA"})", SpeechReplyState::Unreadable},
      {true, R"({"code":"200"})", SpeechReplyState::Unreadable},
      {true, R"({"code":200.5})", SpeechReplyState::Unreadable},
      {true, R"({"code":{"value":200}})", SpeechReplyState::Unreadable},
  };
  for (const Case& c : cases) {
    Json::Value root;
    EXPECT_EQ(ReadSpeechReply(c.transferred, c.body, root), c.state) << c.body;
  }
}

TEST(SpeechReply, TextMembersMustBeNonEmptyStrings) {
  Json::Value root;
  ASSERT_EQ(ReadSpeechReply(true, R"({"code":200,"a":"x","b":"","c":5,"d":["x"]})", root), SpeechReplyState::Ok);
  std::string text = "kept";
  for (const char* name : {"b", "c", "d", "missing"}) EXPECT_FALSE(ReadReplyText(root, name, text)) << name;
  EXPECT_EQ(text, "kept");
  EXPECT_TRUE(ReadReplyText(root, "a", text));
  EXPECT_EQ(text, "x");
}
