#include "core/catalog/portable/VoiceCatalogRecords.h"

#include "core/base/portable/JsonReply.h"

namespace {

constexpr int kSuccessCode = 200;

template <typename Record, typename ReadRecord>
bool ParseCatalogReply(const std::string& reply, std::vector<Record>& records, ReadRecord read) {
  records.clear();
  Json::Value root;
  if (!ParseJsonReply(reply, root) || JsonInt(root, "code") != kSuccessCode) return false;
  const Json::Value& data = JsonMember(root, "data");
  if (!data.isArray()) return true;
  for (const Json::Value& element : data) {
    if (element.isObject()) records.push_back(read(element));
  }
  return true;
}

}  // namespace

bool ParseVoiceCategories(const std::string& reply, CatalogTextWidener widen, std::vector<VoiceCategory>& records) {
  return ParseCatalogReply(reply, records, [widen](const Json::Value& element) {
    VoiceCategory category;
    category.id = JsonInt(element, "id");
    category.name = widen(JsonText(element, "name"));
    category.count = JsonInt(element, "count");
    return category;
  });
}

bool ParseVoiceList(const std::string& reply, CatalogTextWidener widen, std::vector<VoiceInfo>& records) {
  return ParseCatalogReply(reply, records, [widen](const Json::Value& element) {
    VoiceInfo voice;
    voice.categoryId = JsonInt(element, "categoryId");
    voice.category = widen(JsonText(element, "category"));
    voice.voiceDesc = widen(JsonText(element, "voiceDesc"));
    voice.voiceType = JsonInt(element, "voiceType");
    voice.rate = JsonInt(element, "rate");
    voice.anchorName = widen(JsonText(element, "anchorName"));
    voice.emotion = widen(JsonText(element, "emotion"));
    voice.isEmotion = JsonBool(element, "isEmotion");
    voice.avatar = widen(JsonText(element, "avatar"));
    voice.text = widen(JsonText(element, "text"));
    voice.mp3 = widen(JsonText(element, "mp3"));
    return voice;
  });
}

bool ParseVoiceEmotions(const std::string& reply, CatalogTextWidener widen, std::vector<VoiceEmotion>& records) {
  return ParseCatalogReply(reply, records, [widen](const Json::Value& element) {
    VoiceEmotion emotion;
    emotion.name = widen(JsonText(element, "name"));
    emotion.emotion = widen(JsonText(element, "emotion"));
    return emotion;
  });
}
