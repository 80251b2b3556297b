#include "core/transport/portable/SpeechRequest.h"

#include <cstdio>

#include "core/base/portable/Base64.h"
#include "core/base/portable/Checksums.h"
#include "core/base/portable/JsonReply.h"

std::string SignRequestText(const std::string& signedText) { return ComputeMd5Hex(signedText + RequestSignSalt); }

bool BuildSynthesisForm(const std::string& ansiText, const SynthesisSettings& settings, std::string& form) {
  const std::string escaped = EscapeBase64(Base64Encode(ansiText));
  if (escaped.size() >= kRequestFormCapacity) return false;
  char numbers[96];
  std::snprintf(numbers, sizeof(numbers), "&volume=%d&speed=%d&voiceType=%d&emotion=",
                static_cast<int>(settings.volume), static_cast<int>(settings.speed),
                static_cast<int>(settings.voiceType));
  std::string built = "text=" + escaped + numbers + settings.ansiEmotion + "&codec=" + settings.ansiCodec +
                      "&sign=" + SignRequestText(escaped);
  if (built.size() >= kRequestFormCapacity) return false;
  form = std::move(built);
  return true;
}

SpeechReplyState ReadSpeechReply(bool transferred, std::string_view body, Json::Value& root) {
  if (!transferred || !ParseJsonReply(body, root) || !root.isObject()) {
    return SpeechReplyState::Unreadable;
  }
  const Json::Value& code = JsonMember(root, "code");
  if (!code.isInt()) return SpeechReplyState::Unreadable;
  return code.asInt() == 200 ? SpeechReplyState::Ok : SpeechReplyState::CodeNotOk;
}

bool ReadReplyView(const Json::Value& root, const char* name, std::string_view& text) {
  const Json::Value& member = JsonMember(root, name);
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!member.isString() || !member.getString(&begin, &end) || begin == end) return false;
  text = std::string_view(begin, static_cast<size_t>(end - begin));
  return true;
}

bool ReadReplyText(const Json::Value& root, const char* name, std::string& text) {
  std::string_view view;
  if (!ReadReplyView(root, name, view)) return false;
  text.assign(view.data(), view.size());
  return true;
}
