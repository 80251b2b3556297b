#pragma once

// The speech service's replies to the recognition requests, read with type
// checks on top of ReadSpeechReply: a "data" or "status" of another type than
// the one relied on makes the reply Unreadable, never an exception.
// `transferred` is false when the request got no reply at all.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/transport/portable/SpeechRequest.h"

// "/colud/ars/upload.php": "data"."url", a non-empty string.
struct UploadReply {
  SpeechReplyState state = SpeechReplyState::Unreadable;
  std::string url;
};
UploadReply ReadUploadReply(bool transferred, std::string_view body);

// "/colud/ars/voice2TextTask.php" creating a task: "data", the task id, an
// unsigned 64-bit integer.
struct TaskCreateReply {
  SpeechReplyState state = SpeechReplyState::Unreadable;
  uint64_t taskId = 0;
};
TaskCreateReply ReadTaskCreateReply(bool transferred, std::string_view body);

// The same path polling a task: "status" an integer (2 done, 3 failed, other
// running); when done, "data" the recognised text (a string, UTF-8), handed
// out with its bracket tags removed.
struct TaskPollReply {
  SpeechReplyState state = SpeechReplyState::Unreadable;
  int status = 0;
  std::string text;
};
TaskPollReply ReadTaskPollReply(bool transferred, std::string_view body);

// Task states the poll reply names.
constexpr int kRecognitionDone = 2;
constexpr int kRecognitionFailed = 3;
