#include "core/portable/RecognitionReplies.h"

#include "core/portable/JsonReply.h"
#include "core/portable/RecognizedText.h"

namespace {

// Parses the reply and checks its "code"; kValid means the caller reads on.
ReplyState ReadEnvelope(const std::string& body, Json::Value& root) {
  if (!ParseJsonReply(body, root) || !root.isObject()) return ReplyState::kUnreadable;
  const Json::Value& code = JsonMember(root, "code");
  if (!code.isIntegral() || code.asLargestInt() != 200) return ReplyState::kRefused;
  return ReplyState::kValid;
}

}  // namespace

UploadReply ReadUploadReply(const std::string& body) {
  UploadReply reply;
  Json::Value root;
  reply.state = ReadEnvelope(body, root);
  if (reply.state != ReplyState::kValid) return reply;
  reply.url = JsonText(JsonMember(root, "data"), "url");
  if (reply.url.empty()) reply.state = ReplyState::kUnreadable;
  return reply;
}

TaskCreateReply ReadTaskCreateReply(const std::string& body) {
  TaskCreateReply reply;
  Json::Value root;
  reply.state = ReadEnvelope(body, root);
  if (reply.state != ReplyState::kValid) return reply;
  const Json::Value& data = JsonMember(root, "data");
  if (!data.isIntegral() || !data.isUInt64()) {
    reply.state = ReplyState::kUnreadable;
    return reply;
  }
  reply.taskId = data.asUInt64();
  return reply;
}

TaskPollReply ReadTaskPollReply(const std::string& body) {
  TaskPollReply reply;
  Json::Value root;
  reply.state = ReadEnvelope(body, root);
  if (reply.state != ReplyState::kValid) return reply;
  const Json::Value& status = JsonMember(root, "status");
  if (!status.isIntegral() || !status.isInt()) {
    reply.state = ReplyState::kUnreadable;
    return reply;
  }
  reply.status = status.asInt();
  if (reply.status == kRecognitionDone) {
    const Json::Value& data = JsonMember(root, "data");
    if (!data.isString()) {
      reply.state = ReplyState::kUnreadable;
      return reply;
    }
    reply.text = RemoveBracketTags(data.asString());
  }
  return reply;
}
