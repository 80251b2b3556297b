// The voice windows' sample playback, without a window skin: a sample
// arrives, plays and ends through the player's end message; the messages of
// an earlier sample never touch the one that replaced it; a stop releases
// the player at once and nothing follows it.
#include "app/voice/VoiceSamplePlayback.h"

#include "core/base/AppMessages.h"
#include "core/base/TextConversion.h"
#include "tests/core/client/StandinClientTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Outcome = VoiceSamplePlayback::Outcome;

constexpr int kShort = 100510001;   // samples of the stand-in catalogue
constexpr int kOther = 100510002;

std::string SamplePath(int voiceType) { return "/colud/tts/samples/" + std::to_string(voiceType) + ".mp3"; }

// Hands every message it gets to the playback, as a voice window does, and
// keeps what each meant.
class PlaybackWindow : public MessageWindow {
 public:
  VoiceSamplePlayback* playback = nullptr;
  std::vector<Outcome> outcomes;

 protected:
  void OnArrival(const Message& m) override {
    bool handled = false;
    const Outcome outcome = playback->OnMessage(m.message, m.wParam, m.lParam, handled);
    if (handled) outcomes.push_back(outcome);
  }
};

class SamplePlaybackTest : public StandinClientTest {
 protected:
  void SetUp() override {
    StandinClientTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    m_playback = std::make_unique<VoiceSamplePlayback>(m_state->httpClient, m_folder.path());
    m_playback->SetWindow(m_sampleWindow.handle());
    m_sampleWindow.playback = m_playback.get();
  }
  void TearDown() override {
    m_playback.reset();
    StandinClientTest::TearDown();
  }
  VoiceInfo Voice(int voiceType) const {
    VoiceInfo voice;
    voice.voiceType = voiceType;
    voice.mp3 = Utf8ToWide(m_instance.urls().speechHttps + SamplePath(voiceType));
    return voice;
  }
  // Pumps until an outcome `wanted` arrives or the time is up.
  bool PumpUntil(Outcome wanted, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    for (;;) {
      for (Outcome seen : m_sampleWindow.outcomes) {
        if (seen == wanted) return true;
      }
      if (GetTickCount() - start >= timeoutMs) return false;
      m_sampleWindow.WaitFor(m_sampleWindow.Pump().size() + 1, 50);
    }
  }
  size_t CountOf(Outcome wanted) const {
    size_t count = 0;
    for (Outcome seen : m_sampleWindow.outcomes) count += seen == wanted;
    return count;
  }

  PlaybackWindow m_sampleWindow;
  std::unique_ptr<VoiceSamplePlayback> m_playback;
};

}  // namespace

TEST_F(SamplePlaybackTest, ASamplePlaysToItsEndAndSaysSoOnce) {
  m_playback->Start(Voice(kShort));
  EXPECT_TRUE(m_playback->IsFetching());
  ASSERT_TRUE(PumpUntil(Outcome::Playing));
  EXPECT_TRUE(m_playback->HasPlayer());
  EXPECT_TRUE(m_playback->GetStatus().playing);
  ASSERT_TRUE(PumpUntil(Outcome::Finished, 60000));
  EXPECT_FALSE(m_playback->HasPlayer());
  m_sampleWindow.WaitFor(m_sampleWindow.Pump().size() + 1, 500);
  EXPECT_EQ(CountOf(Outcome::Finished), 1u);
  EXPECT_EQ(CountOf(Outcome::Failed), 0u);

  // Cached now: the second play asks the server for nothing.
  m_sampleWindow.outcomes.clear();
  m_playback->Start(Voice(kShort));
  ASSERT_TRUE(PumpUntil(Outcome::Playing));
  EXPECT_EQ(m_instance.Count(SamplePath(kShort)), 1);
}

// The end and the arrival of the first sample, posted after the second was
// started, leave the second playing.
TEST_F(SamplePlaybackTest, AnEarlierSamplesMessagesDoNotTouchItsSuccessor) {
  m_playback->Start(Voice(kShort));
  ASSERT_TRUE(PumpUntil(Outcome::Playing));
  m_sampleWindow.outcomes.clear();
  m_playback->Start(Voice(kOther));
  ASSERT_TRUE(PumpUntil(Outcome::Playing));
  m_sampleWindow.outcomes.clear();
  const UINT_PTR first = 1;
  PostMessageW(m_sampleWindow.handle(), WM_APP_SAMPLE_DONE, first, 0);
  PostMessageW(m_sampleWindow.handle(), kSampleFetchedMessage, first, 0);
  m_sampleWindow.WaitFor(m_sampleWindow.Pump().size() + 2, 2000);
  EXPECT_EQ(m_sampleWindow.outcomes, (std::vector<Outcome>{Outcome::None, Outcome::None}));
  EXPECT_TRUE(m_playback->HasPlayer());
  EXPECT_TRUE(m_playback->GetStatus().playing);
}

TEST_F(SamplePlaybackTest, AStopReleasesAtOnceAndNothingFollows) {
  struct Case {
    const char* name;
    const char* fault;  // the sample's reply; null: a plain one
  } cases[] = {{"playing", nullptr}, {"being fetched", R"({"delay_ms":20000})"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW((m_folder / (L"voiceType_" + std::to_wstring(kOther) + L".mp3")).c_str());
    if (c.fault != nullptr) {
      ASSERT_TRUE(m_instance.Script(SamplePath(kOther), c.fault));
    }
    m_sampleWindow.outcomes.clear();
    m_playback->Start(Voice(kOther));
    if (c.fault == nullptr) {
      ASSERT_TRUE(PumpUntil(Outcome::Playing));
    } else {
      Sleep(1000);  // the request is out and its reply delayed
    }
    const DWORD stopAt = GetTickCount();
    m_playback->Stop();
    EXPECT_LT(GetTickCount() - stopAt, static_cast<DWORD>(kSampleFetchStopWaitMs));
    EXPECT_FALSE(m_playback->HasPlayer());
    EXPECT_FALSE(m_playback->IsFetching());
    m_sampleWindow.outcomes.clear();
    m_sampleWindow.WaitFor(m_sampleWindow.Pump().size() + 1, 1500);
    EXPECT_TRUE(m_sampleWindow.outcomes.empty());
  }
}
