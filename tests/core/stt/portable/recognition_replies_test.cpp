#include "core/stt/portable/RecognitionReplies.h"

#include <gtest/gtest.h>

TEST(RecognitionReplies, NoTransferIsUnreadable) {
  const std::string good = R"({"code":200,"status":2,"data":{"url":"u"}})";
  EXPECT_EQ(ReadUploadReply(false, good).state, SpeechReplyState::Unreadable);
  EXPECT_EQ(ReadTaskCreateReply(false, good).state, SpeechReplyState::Unreadable);
  EXPECT_EQ(ReadTaskPollReply(false, good).state, SpeechReplyState::Unreadable);
}

TEST(RecognitionReplies, UploadReply) {
  struct Case {
    const char* body;
    SpeechReplyState state;
    const char* url;
  } cases[] = {
      {R"({"code":200,"data":{"url":"http://h/f/1.mp3"}})", SpeechReplyState::Ok, "http://h/f/1.mp3"},
      {R"({"code":500,"msg":"busy"})", SpeechReplyState::CodeNotOk, ""},
      {R"({"code":"200","data":{"url":"u"}})", SpeechReplyState::Unreadable, ""},  // mistyped code
      {R"({"data":{"url":"u"}})", SpeechReplyState::Unreadable, ""},
      {R"({"code":200,"data":{"url":5}})", SpeechReplyState::Unreadable, ""},
      {R"({"code":200,"data":{"url":""}})", SpeechReplyState::Unreadable, ""},
      {R"({"code":200,"data":"http://h/f/1.mp3"})", SpeechReplyState::Unreadable, ""},
      {R"({"code":200})", SpeechReplyState::Unreadable, ""},
      {"", SpeechReplyState::Unreadable, ""},
      {"<html>busy</html>", SpeechReplyState::Unreadable, ""},
      {R"([200])", SpeechReplyState::Unreadable, ""},
  };
  for (const Case& c : cases) {
    const UploadReply reply = ReadUploadReply(true, c.body);
    EXPECT_EQ(reply.state, c.state) << c.body;
    EXPECT_EQ(reply.url, c.url) << c.body;
  }
}

TEST(RecognitionReplies, TaskCreateReply) {
  struct Case {
    const char* body;
    SpeechReplyState state;
    uint64_t taskId;
  } cases[] = {
      {R"({"code":200,"data":5000007919})", SpeechReplyState::Ok, 5000007919ull},  // beyond 32 bits
      {R"({"code":200,"data":18446744073709551615})", SpeechReplyState::Ok, 18446744073709551615ull},
      {R"({"code":200,"data":"5000007919"})", SpeechReplyState::Unreadable, 0},
      {R"({"code":200,"data":-1})", SpeechReplyState::Unreadable, 0},
      {R"({"code":200,"data":1.5})", SpeechReplyState::Unreadable, 0},
      {R"({"code":200,"data":null})", SpeechReplyState::Unreadable, 0},
      {R"({"code":401,"msg":"sign mismatch"})", SpeechReplyState::CodeNotOk, 0},
      {"{", SpeechReplyState::Unreadable, 0},
  };
  for (const Case& c : cases) {
    const TaskCreateReply reply = ReadTaskCreateReply(true, c.body);
    EXPECT_EQ(reply.state, c.state) << c.body;
    EXPECT_EQ(reply.taskId, c.taskId) << c.body;
  }
}

TEST(RecognitionReplies, TaskPollReply) {
  struct Case {
    const char* body;
    SpeechReplyState state;
    int status;
    const char* text;
  } cases[] = {
      {R"({"code":200,"status":2,"data":"[spk1] \u4f60\u597d [end]"})", SpeechReplyState::Ok, 2,
       "\xE4\xBD\xA0\xE5\xA5\xBD [end]"},
      {R"({"code":200,"status":2,"data":""})", SpeechReplyState::Ok, 2, ""},
      {R"({"code":200,"status":1})", SpeechReplyState::Ok, 1, ""},
      {R"({"code":200,"status":0,"data":null})", SpeechReplyState::Ok, 0, ""},
      {R"({"code":200,"status":3})", SpeechReplyState::Ok, 3, ""},
      {R"({"code":200,"status":"2","data":"x"})", SpeechReplyState::Unreadable, 0, ""},  // mistyped status
      {R"({"code":200,"status":2.5})", SpeechReplyState::Unreadable, 0, ""},
      {R"({"code":200,"data":"x"})", SpeechReplyState::Unreadable, 0, ""},               // no status
      {R"({"code":200,"status":2,"data":{"text":"x"}})", SpeechReplyState::Unreadable, 2, ""},
      {R"({"code":200,"status":2})", SpeechReplyState::Unreadable, 2, ""},
      {R"({"code":500,"status":2,"data":"x"})", SpeechReplyState::CodeNotOk, 0, ""},
      {"not json", SpeechReplyState::Unreadable, 0, ""},
  };
  for (const Case& c : cases) {
    const TaskPollReply reply = ReadTaskPollReply(true, c.body);
    EXPECT_EQ(reply.state, c.state) << c.body;
    EXPECT_EQ(reply.status, c.status) << c.body;
    EXPECT_EQ(reply.text, c.text) << c.body;
  }
}
