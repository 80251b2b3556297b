#pragma once

#include <cstdint>
#include <string>

// The speech service's replies to the recognition requests, read with type
// checks: a reply that is not JSON, or whose "data" or "status" has another
// type than the one relied on, is unreadable, never an exception.
enum class ReplyState {
  kValid,
  kUnreadable,  // not JSON, or a member missing or mistyped
  kRefused,     // "code" is not 200 (a missing "code" included)
};

// "/colud/ars/upload.php": "data"."url", a non-empty string.
struct UploadReply {
  ReplyState state = ReplyState::kUnreadable;
  std::string url;
};
UploadReply ReadUploadReply(const std::string& body);

// "/colud/ars/voice2TextTask.php" creating a task: "data", the task id, an
// unsigned 64-bit integer.
struct TaskCreateReply {
  ReplyState state = ReplyState::kUnreadable;
  uint64_t taskId = 0;
};
TaskCreateReply ReadTaskCreateReply(const std::string& body);

// The same path polling a task: "status" an integer (2 done, 3 failed, other
// running); when done, "data" the recognised text (a string, UTF-8), handed
// out with its bracket tags removed.
struct TaskPollReply {
  ReplyState state = ReplyState::kUnreadable;
  int status = 0;
  std::string text;
};
TaskPollReply ReadTaskPollReply(const std::string& body);

// Task states the poll reply names.
constexpr int kRecognitionDone = 2;
constexpr int kRecognitionFailed = 3;
