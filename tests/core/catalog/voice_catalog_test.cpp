#include "core/catalog/VoiceCatalog.h"

#include "core/base/AppMessages.h"
#include "core/base/TextConversion.h"
#include "tests/core/client/StandinClientTest.h"

namespace {

class VoiceCatalogTest : public StandinClientTest {
 protected:
  void FetchAll() {
    RunThread(FetchVoiceCategoriesThread, &m_fetch);
    RunThread(FetchVoiceListThread, &m_fetch);
    RunThread(FetchVoiceEmotionsThread, &m_fetch);
  }
  std::vector<WPARAM> PostedParts() {
    std::vector<WPARAM> parts;
    for (const MessageWindow::Message& m : m_window.Pump()) {
      EXPECT_EQ(m.message, WM_APP_CATALOG_LOADED);
      EXPECT_EQ(m.lParam, 0);
      parts.push_back(m.wParam);
    }
    return parts;
  }

  VoiceCatalog m_catalog;
  CatalogFetch m_fetch{nullptr, &m_catalog};
};

}  // namespace

TEST_F(VoiceCatalogTest, FetchesTheListsAsServedAndAnnouncesEachInOrder) {
  m_fetch.state = m_state.get();
  m_state->mainWindow = m_window.handle();
  FetchAll();
  EXPECT_EQ(PostedParts(), (std::vector<WPARAM>{1, 2, 3}));

  ASSERT_EQ(m_catalog.categories.size(), 5u);
  EXPECT_EQ(m_catalog.categories[0].id, 1);
  EXPECT_EQ(m_catalog.categories[0].name, L"通用");
  EXPECT_EQ(m_catalog.categories[4].name, L"英文");

  ASSERT_EQ(m_catalog.voices.size(), 12u);
  const VoiceInfo* xiaolan = nullptr;
  for (const VoiceInfo& voice : m_catalog.voices) {
    if (voice.voiceType == 100510000) xiaolan = &voice;
  }
  ASSERT_NE(xiaolan, nullptr);
  EXPECT_EQ(xiaolan->anchorName, L"晓澜");
  EXPECT_TRUE(xiaolan->isEmotion);
  EXPECT_EQ(xiaolan->rate, 16000);
  EXPECT_EQ(xiaolan->emotion, L"neutral");
  EXPECT_EQ(xiaolan->mp3, Utf8ToWide(m_instance.urls().speechHttps + "/colud/tts/samples/100510000.mp3"));
  EXPECT_FALSE(xiaolan->text.empty());
  const VoiceInfo& first = m_catalog.voices[0];
  EXPECT_EQ(first.anchorName, L"景行");
  EXPECT_EQ(first.category, L"新闻");
  EXPECT_EQ(first.categoryId, 2);
  EXPECT_EQ(first.voiceDesc, L"字正腔圆的新闻男声");
  EXPECT_EQ(first.avatar, L"anchor_jingxing.png");
  EXPECT_EQ(first.text, L"各位观众晚上好，欢迎收看今天的新闻节目。");
  EXPECT_FALSE(first.isEmotion);

  ASSERT_EQ(m_catalog.emotions.size(), 5u);
  EXPECT_EQ(m_catalog.emotions[1].name, L"开心");
  EXPECT_EQ(m_catalog.emotions[1].emotion, L"happy");
}

TEST_F(VoiceCatalogTest, AFailedFetchAnnouncesAnEmptyList) {
  m_fetch.state = m_state.get();
  m_state->mainWindow = m_window.handle();
  FetchAll();
  m_window.Pump();
  m_window.Clear();
  m_instance.Script("/colud/tts/voiceCategory.php", R"({"http_status":500})");
  m_instance.Script("/colud/tts/voiceList.php", R"({"members":{"data":"not an array"}})");
  m_instance.Script("/colud/tts/voiceEmotion.php", R"({"code":401})");
  FetchAll();
  EXPECT_EQ(PostedParts(), (std::vector<WPARAM>{1, 2, 3}));
  EXPECT_TRUE(m_catalog.categories.empty());
  EXPECT_TRUE(m_catalog.voices.empty());
  EXPECT_TRUE(m_catalog.emotions.empty());
}

TEST_F(VoiceCatalogTest, MistypedMembersGiveEmptyValues) {
  m_fetch.state = m_state.get();
  m_instance.Script("/colud/tts/voiceEmotion.php", R"({"members":{"data":[{"name":7,"emotion":null},"x",{"name":"ok"}]}})");
  RunThread(FetchVoiceEmotionsThread, &m_fetch);
  ASSERT_EQ(m_catalog.emotions.size(), 2u);
  EXPECT_EQ(m_catalog.emotions[0].name, L"");
  EXPECT_EQ(m_catalog.emotions[1].name, L"ok");
  EXPECT_TRUE(m_window.Pump().empty()) << "no main window yet: nothing is posted";
}
