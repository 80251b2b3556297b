#include "core/portable/RecognitionReplies.h"

#include <gtest/gtest.h>

TEST(RecognitionReplies, UploadReply) {
  struct Case {
    const char* body;
    ReplyState state;
    const char* url;
  } cases[] = {
      {R"({"code":200,"data":{"url":"http://h/f/1.mp3"}})", ReplyState::kValid, "http://h/f/1.mp3"},
      {R"({"code":500,"msg":"busy"})", ReplyState::kRefused, ""},
      {R"({"code":"200","data":{"url":"u"}})", ReplyState::kRefused, ""},  // mistyped code
      {R"({"data":{"url":"u"}})", ReplyState::kRefused, ""},
      {R"({"code":200,"data":{"url":5}})", ReplyState::kUnreadable, ""},
      {R"({"code":200,"data":{"url":""}})", ReplyState::kUnreadable, ""},
      {R"({"code":200,"data":"http://h/f/1.mp3"})", ReplyState::kUnreadable, ""},
      {R"({"code":200})", ReplyState::kUnreadable, ""},
      {"", ReplyState::kUnreadable, ""},
      {"<html>busy</html>", ReplyState::kUnreadable, ""},
      {R"([200])", ReplyState::kUnreadable, ""},
  };
  for (const Case& c : cases) {
    const UploadReply reply = ReadUploadReply(c.body);
    EXPECT_EQ(reply.state, c.state) << c.body;
    EXPECT_EQ(reply.url, c.url) << c.body;
  }
}

TEST(RecognitionReplies, TaskCreateReply) {
  struct Case {
    const char* body;
    ReplyState state;
    uint64_t taskId;
  } cases[] = {
      {R"({"code":200,"data":5000007919})", ReplyState::kValid, 5000007919ull},  // beyond 32 bits
      {R"({"code":200,"data":18446744073709551615})", ReplyState::kValid, 18446744073709551615ull},
      {R"({"code":200,"data":"5000007919"})", ReplyState::kUnreadable, 0},
      {R"({"code":200,"data":-1})", ReplyState::kUnreadable, 0},
      {R"({"code":200,"data":1.5})", ReplyState::kUnreadable, 0},
      {R"({"code":200,"data":null})", ReplyState::kUnreadable, 0},
      {R"({"code":401,"msg":"sign mismatch"})", ReplyState::kRefused, 0},
      {"{", ReplyState::kUnreadable, 0},
  };
  for (const Case& c : cases) {
    const TaskCreateReply reply = ReadTaskCreateReply(c.body);
    EXPECT_EQ(reply.state, c.state) << c.body;
    EXPECT_EQ(reply.taskId, c.taskId) << c.body;
  }
}

TEST(RecognitionReplies, TaskPollReply) {
  struct Case {
    const char* body;
    ReplyState state;
    int status;
    const char* text;
  } cases[] = {
      {R"({"code":200,"status":2,"data":"[spk1] \u4f60\u597d [end]"})", ReplyState::kValid, 2,
       "\xE4\xBD\xA0\xE5\xA5\xBD [end]"},
      {R"({"code":200,"status":2,"data":""})", ReplyState::kValid, 2, ""},
      {R"({"code":200,"status":1})", ReplyState::kValid, 1, ""},
      {R"({"code":200,"status":0,"data":null})", ReplyState::kValid, 0, ""},
      {R"({"code":200,"status":3})", ReplyState::kValid, 3, ""},
      {R"({"code":200,"status":"2","data":"x"})", ReplyState::kUnreadable, 0, ""},  // mistyped status
      {R"({"code":200,"status":2.5})", ReplyState::kUnreadable, 0, ""},
      {R"({"code":200,"data":"x"})", ReplyState::kUnreadable, 0, ""},               // no status
      {R"({"code":200,"status":2,"data":{"text":"x"}})", ReplyState::kUnreadable, 2, ""},
      {R"({"code":200,"status":2})", ReplyState::kUnreadable, 2, ""},
      {R"({"code":500,"status":2,"data":"x"})", ReplyState::kRefused, 0, ""},
      {"not json", ReplyState::kUnreadable, 0, ""},
  };
  for (const Case& c : cases) {
    const TaskPollReply reply = ReadTaskPollReply(c.body);
    EXPECT_EQ(reply.state, c.state) << c.body;
    EXPECT_EQ(reply.status, c.status) << c.body;
    EXPECT_EQ(reply.text, c.text) << c.body;
  }
}
