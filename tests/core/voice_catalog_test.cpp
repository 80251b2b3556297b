#include "core/VoiceCatalog.h"

#include "core/AppMessages.h"
#include "core/TextConversion.h"
#include "tests/core/StandinClientTest.h"

namespace {

class VoiceCatalogTest : public StandinClientTest {
 protected:
  void FetchAll() {
    RunThread(FetchVoiceCategoriesThread, &fetch_);
    RunThread(FetchVoiceListThread, &fetch_);
    RunThread(FetchVoiceEmotionsThread, &fetch_);
  }
  std::vector<WPARAM> PostedParts() {
    std::vector<WPARAM> parts;
    for (const MessageWindow::Message& m : window_.Pump()) {
      EXPECT_EQ(m.message, WM_APP_CATALOG_LOADED);
      EXPECT_EQ(m.lParam, 0);
      parts.push_back(m.wParam);
    }
    return parts;
  }

  VoiceCatalog catalog_;
  CatalogFetch fetch_{nullptr, &catalog_};
};

}  // namespace

TEST_F(VoiceCatalogTest, FetchesTheListsAsServedAndAnnouncesEachInOrder) {
  fetch_.state = state_.get();
  state_->mainWindow = window_.handle();
  FetchAll();
  EXPECT_EQ(PostedParts(), (std::vector<WPARAM>{1, 2, 3}));

  ASSERT_EQ(catalog_.categories.size(), 5u);
  EXPECT_EQ(catalog_.categories[0].id, 1);
  EXPECT_EQ(catalog_.categories[0].name, L"通用");
  EXPECT_EQ(catalog_.categories[4].name, L"英文");

  ASSERT_EQ(catalog_.voices.size(), 12u);
  const VoiceInfo* xiaolan = nullptr;
  for (const VoiceInfo& voice : catalog_.voices) {
    if (voice.voiceType == 100510000) xiaolan = &voice;
  }
  ASSERT_NE(xiaolan, nullptr);
  EXPECT_EQ(xiaolan->anchorName, L"晓澜");
  EXPECT_TRUE(xiaolan->isEmotion);
  EXPECT_EQ(xiaolan->rate, 16000);
  EXPECT_EQ(xiaolan->emotion, L"neutral");
  EXPECT_EQ(xiaolan->mp3, Utf8ToWide(instance_.urls().speechHttps + "/colud/tts/samples/100510000.mp3"));
  EXPECT_FALSE(xiaolan->text.empty());
  const VoiceInfo& first = catalog_.voices[0];
  EXPECT_EQ(first.anchorName, L"景行");
  EXPECT_EQ(first.category, L"新闻");
  EXPECT_EQ(first.categoryId, 2);
  EXPECT_EQ(first.voiceDesc, L"字正腔圆的新闻男声");
  EXPECT_EQ(first.avatar, L"anchor_jingxing.png");
  EXPECT_EQ(first.text, L"各位观众晚上好，欢迎收看今天的新闻节目。");
  EXPECT_FALSE(first.isEmotion);

  ASSERT_EQ(catalog_.emotions.size(), 5u);
  EXPECT_EQ(catalog_.emotions[1].name, L"开心");
  EXPECT_EQ(catalog_.emotions[1].emotion, L"happy");
}

TEST_F(VoiceCatalogTest, AFailedFetchAnnouncesAnEmptyList) {
  fetch_.state = state_.get();
  state_->mainWindow = window_.handle();
  FetchAll();
  window_.Pump();
  window_.Clear();
  instance_.Script("/colud/tts/voiceCategory.php", R"({"http_status":500})");
  instance_.Script("/colud/tts/voiceList.php", R"({"members":{"data":"not an array"}})");
  instance_.Script("/colud/tts/voiceEmotion.php", R"({"code":401})");
  FetchAll();
  EXPECT_EQ(PostedParts(), (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_TRUE(catalog_.categories.empty());
  EXPECT_TRUE(catalog_.voices.empty());
  EXPECT_TRUE(catalog_.emotions.empty());
}

TEST_F(VoiceCatalogTest, MistypedMembersGiveEmptyValues) {
  fetch_.state = state_.get();
  instance_.Script("/colud/tts/voiceEmotion.php", R"({"members":{"data":[{"name":7,"emotion":null},"x",{"name":"ok"}]}})");
  RunThread(FetchVoiceEmotionsThread, &fetch_);
  ASSERT_EQ(catalog_.emotions.size(), 2u);
  EXPECT_EQ(catalog_.emotions[0].name, L"");
  EXPECT_EQ(catalog_.emotions[1].name, L"ok");
  EXPECT_TRUE(window_.Pump().empty()) << "no main window yet: nothing is posted";
}
