#include "core/base/portable/Base64.h"
#include "core/transport/portable/SpeechRequest.h"

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

// The signed text of a synthesis request is the escaped Base64 of the ANSI
// (code page 936) SSML; the Chinese case is given here as its GBK bytes.
TEST(RequestSign, SignsTheEscapedBase64OfTheText) {
  struct Case {
    std::string ansiText;
    std::string escaped;
    std::string sign;
  } cases[] = {
      {"<speak>hello</speak>", "PHNwZWFrPmhlbGxvPC9zcGVhaz4%3D", "561bb0ae79cc910527cba623d76e5a04"},
      {"<speak>\xc4\xe3\xba\xc3\xa3\xac\xca\xc0\xbd\xe7</speak>", "PHNwZWFrPsTjusOjrMrAvec8L3NwZWFrPg%3D%3D",
       "12e3b6897499f35e4697f2083704a94f"},
      {"\xfb\xff\xbf", "%2B%2F%2B%2F", "3c5b3f77f316ac3196250321c7c3fc78"},
  };
  for (const Case& c : cases) {
    const std::string escaped = EscapeBase64(Base64Encode(c.ansiText));
    EXPECT_EQ(escaped, c.escaped);
    EXPECT_EQ(SignRequestText(escaped), c.sign) << c.escaped;
  }
}

TEST(RequestSign, SignsAnUploadTimestamp) {
  EXPECT_STREQ(RequestSignSalt, "4185062");
  EXPECT_EQ(SignRequestText("1700000000000"), "7403bcf67cf17028c63fd87a6a86d809");
}
