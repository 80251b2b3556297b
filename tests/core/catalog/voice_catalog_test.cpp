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
  // Handles the posted messages as the main window does: each publishes its part.
  std::vector<WPARAM> PostedParts() {
    std::vector<WPARAM> parts;
    for (const MessageWindow::Message& m : m_window.Pump()) {
      EXPECT_EQ(m.message, WM_APP_CATALOG_LOADED);
      EXPECT_EQ(m.lParam, 0);
      EXPECT_TRUE(m_catalog.TakeDelivered(static_cast<int>(m.wParam))) << "announced but not delivered: " << m.wParam;
      parts.push_back(m.wParam);
    }
    m_window.Clear();
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
  EXPECT_TRUE(m_catalog.TakeDelivered(3));  // as the main window does when it is created
  ASSERT_EQ(m_catalog.emotions.size(), 2u);
  EXPECT_EQ(m_catalog.emotions[0].name, L"");
  EXPECT_EQ(m_catalog.emotions[1].name, L"ok");
  EXPECT_TRUE(m_window.Pump().empty()) << "no main window yet: nothing is posted";
}

// The windows read the published lists on the UI thread at any time: a fetch,
// while it runs and after it has ended, leaves them as they are until the
// message that announces its list is handled, failed fetches included.
TEST_F(VoiceCatalogTest, PublishedListsChangeOnlyWhenTheirMessageIsHandled) {
  m_fetch.state = m_state.get();
  m_state->mainWindow = m_window.handle();
  const VoiceCategory oldCategory{7, L"旧分类", 1};
  VoiceInfo oldVoice;
  oldVoice.anchorName = L"旧主播";
  const VoiceEmotion oldEmotion{L"旧", L"old"};
  m_catalog.categories = {oldCategory};
  m_catalog.voices = {oldVoice};
  m_catalog.emotions = {oldEmotion};
  const VoiceInfo* reading = &m_catalog.voices.front();  // what a window holds while the fetch runs
  auto unchanged = [&](const char* when) {
    ASSERT_EQ(m_catalog.categories.size(), 1u) << when;
    EXPECT_EQ(m_catalog.categories[0].name, oldCategory.name) << when;
    ASSERT_EQ(m_catalog.voices.size(), 1u) << when;
    EXPECT_EQ(&m_catalog.voices.front(), reading) << when;
    EXPECT_EQ(reading->anchorName, L"旧主播") << when;
    ASSERT_EQ(m_catalog.emotions.size(), 1u) << when;
    EXPECT_EQ(m_catalog.emotions[0].emotion, L"old") << when;
  };

  // A slow reply: the lists stay whole while the request is in flight.
  ASSERT_TRUE(m_instance.Script("/colud/tts/voiceList.php", R"({"delay_ms":1500})"));
  HANDLE slow = CreateThread(nullptr, 0, FetchVoiceListThread, &m_fetch, 0, nullptr);
  ASSERT_NE(slow, nullptr);
  Sleep(700);
  unchanged("while the voice list is fetched");
  EXPECT_EQ(WaitForSingleObject(slow, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(slow);
  RunThread(FetchVoiceCategoriesThread, &m_fetch);
  RunThread(FetchVoiceEmotionsThread, &m_fetch);
  unchanged("after the fetches, before their messages");
  EXPECT_TRUE(m_catalog.deliveredVoices.Waiting());

  EXPECT_EQ(PostedParts(), (std::vector<WPARAM>{2, 1, 3}));
  EXPECT_EQ(m_catalog.categories.size(), 5u);
  EXPECT_EQ(m_catalog.voices.size(), 12u);
  EXPECT_EQ(m_catalog.emotions.size(), 5u);
  EXPECT_FALSE(m_catalog.TakeDelivered(2)) << "a list is published once";
  EXPECT_EQ(m_catalog.voices.size(), 12u);

  // A failed fetch announces an empty list, but only once its message is handled.
  m_instance.Script("/colud/tts/voiceList.php", R"({"http_status":500})");
  RunThread(FetchVoiceListThread, &m_fetch);
  EXPECT_EQ(m_catalog.voices.size(), 12u);
  EXPECT_EQ(PostedParts(), (std::vector<WPARAM>{2}));
  EXPECT_TRUE(m_catalog.voices.empty());
}
