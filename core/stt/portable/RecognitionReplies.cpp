#include "core/stt/portable/RecognitionReplies.h"

#include "core/base/portable/JsonReply.h"
#include "core/stt/portable/RecognizedText.h"

UploadReply ReadUploadReply(bool transferred, std::string_view body) {
  UploadReply reply;
  Json::Value root;
  reply.state = ReadSpeechReply(transferred, body, root);
  if (reply.state == SpeechReplyState::Ok && !ReadReplyText(JsonMember(root, "data"), "url", reply.url)) {
    reply.state = SpeechReplyState::Unreadable;
  }
  return reply;
}

TaskCreateReply ReadTaskCreateReply(bool transferred, std::string_view body) {
  TaskCreateReply reply;
  Json::Value root;
  reply.state = ReadSpeechReply(transferred, body, root);
  if (reply.state != SpeechReplyState::Ok) return reply;
  const Json::Value& data = JsonMember(root, "data");
  if (data.isIntegral() && data.isUInt64()) {
    reply.taskId = data.asUInt64();
  } else {
    reply.state = SpeechReplyState::Unreadable;
  }
  return reply;
}

TaskPollReply ReadTaskPollReply(bool transferred, std::string_view body) {
  TaskPollReply reply;
  Json::Value root;
  reply.state = ReadSpeechReply(transferred, body, root);
  if (reply.state != SpeechReplyState::Ok) return reply;
  const Json::Value& status = JsonMember(root, "status");
  if (!status.isIntegral() || !status.isInt()) {
    reply.state = SpeechReplyState::Unreadable;
    return reply;
  }
  reply.status = status.asInt();
  if (reply.status != kRecognitionDone) return reply;
  const Json::Value& data = JsonMember(root, "data");
  if (data.isString()) {
    reply.text = RemoveBracketTags(data.asString());
  } else {
    reply.state = SpeechReplyState::Unreadable;
  }
  return reply;
}
