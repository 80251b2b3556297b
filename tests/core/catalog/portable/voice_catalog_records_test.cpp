#include "core/catalog/portable/VoiceCatalogRecords.h"

#include <gtest/gtest.h>

namespace {

// Byte-for-byte widening, enough for ASCII fixtures.
std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

TEST(VoiceCatalogRecords, ReadsEveryMemberInOrder) {
  std::vector<VoiceInfo> voices;
  ASSERT_TRUE(ParseVoiceList(R"({"code":200,"data":[
      {"categoryId":2,"category":"news","voiceDesc":"d","voiceType":100520000,"rate":16000,
       "anchorName":"Jing","emotion":"neutral","isEmotion":true,"avatar":"a.png","text":"t","mp3":"http://s/1.mp3"},
      {"voiceType":7}]})",
                             Widen, voices));
  ASSERT_EQ(voices.size(), 2u);
  const VoiceInfo& v = voices[0];
  EXPECT_EQ(v.categoryId, 2);
  EXPECT_EQ(v.category, L"news");
  EXPECT_EQ(v.voiceDesc, L"d");
  EXPECT_EQ(v.voiceType, 100520000);
  EXPECT_EQ(v.rate, 16000);
  EXPECT_EQ(v.anchorName, L"Jing");
  EXPECT_EQ(v.emotion, L"neutral");
  EXPECT_TRUE(v.isEmotion);
  EXPECT_EQ(v.avatar, L"a.png");
  EXPECT_EQ(v.text, L"t");
  EXPECT_EQ(v.mp3, L"http://s/1.mp3");
  // Missing members read as 0, false and "".
  EXPECT_EQ(voices[1].voiceType, 7);
  EXPECT_EQ(voices[1].categoryId, 0);
  EXPECT_FALSE(voices[1].isEmotion);
  EXPECT_EQ(voices[1].anchorName, L"");
}

TEST(VoiceCatalogRecords, MistypedMembersReadAsEmptyValues) {
  std::vector<VoiceCategory> categories;
  ASSERT_TRUE(ParseVoiceCategories(R"({"code":200,"data":[
      {"id":"3","name":5,"count":[1]},
      {"id":2.0,"name":null,"count":true},
      {"id":99999999999,"name":{"x":1},"count":-4},
      7, "text", [1,2], null]})",
                                   Widen, categories));
  ASSERT_EQ(categories.size(), 3u) << "elements that are not objects are skipped";
  EXPECT_EQ(categories[0].id, 0);
  EXPECT_EQ(categories[0].name, L"");
  EXPECT_EQ(categories[0].count, 0);
  EXPECT_EQ(categories[1].id, 2);
  EXPECT_EQ(categories[1].count, 1);
  EXPECT_EQ(categories[2].id, 0) << "out of range";
  EXPECT_EQ(categories[2].count, -4);

  std::vector<VoiceInfo> voices;
  ASSERT_TRUE(ParseVoiceList(R"({"code":200,"data":[{"isEmotion":"yes","voiceType":false,"mp3":1}]})", Widen, voices));
  ASSERT_EQ(voices.size(), 1u);
  EXPECT_FALSE(voices[0].isEmotion);
  EXPECT_EQ(voices[0].mp3, L"");
}

TEST(VoiceCatalogRecords, FailedRepliesLeaveAnEmptyList) {
  struct Case {
    const char* reply;
    bool ok;
  } cases[] = {
      {R"({"code":200,"data":[]})", true},
      {R"({"code":200,"data":{"name":"x","emotion":"y"}})", true},
      {R"({"code":200})", true},
      {R"({"code":500,"data":[{"name":"x"}]})", false},
      {R"({"code":"200","data":[{"name":"x"}]})", false},
      {R"([{"name":"x"}])", false},
      {R"({"code":200,"data":[{"name":"x"})", false},
      {"", false},
      {"<html>502</html>", false},
  };
  for (const Case& c : cases) {
    std::vector<VoiceEmotion> emotions(3);
    EXPECT_EQ(ParseVoiceEmotions(c.reply, Widen, emotions), c.ok) << c.reply;
    EXPECT_TRUE(emotions.empty()) << c.reply;
  }
  // Nesting beyond the reader's limit makes it throw; that is a failed reply too.
  std::vector<VoiceEmotion> emotions;
  EXPECT_FALSE(ParseVoiceEmotions(std::string(5000, '[') + std::string(5000, ']'), Widen, emotions));
}
