#include "core/catalog/VoiceSample.h"

#include "core/base/AppMessages.h"
#include "core/base/TextConversion.h"
#include "tests/core/client/StandinClientTest.h"

namespace {

constexpr int kVoice = 100510000;
const char kSamplePath[] = "/colud/tts/samples/100510000.mp3";

class VoiceSampleTest : public StandinClientTest {
 protected:
  VoiceSampleRequest* NewRequest() {
    auto* request = new VoiceSampleRequest;
    request->voiceType = kVoice;
    request->cacheFolder = m_folder.path();
    request->mp3Url = Utf8ToWide(m_instance.urls().speechHttps + kSamplePath);
    request->notifyWindow = m_window.handle();
    request->state = m_state.get();
    return request;
  }
  std::wstring CachedSample() const { return m_folder / (L"voiceType_" + std::to_wstring(kVoice) + L".mp3"); }
  size_t DoneMessages() {
    size_t count = 0;
    for (const MessageWindow::Message& m : m_window.Pump()) count += m.message == WM_APP_SAMPLE_DONE;
    m_window.Clear();
    return count;
  }
};

}  // namespace

TEST_F(VoiceSampleTest, DownloadsOncePlaysAndReportsTheEnd) {
  EXPECT_EQ(RunThread(PlayVoiceSampleThread, NewRequest()), 0u);
  EXPECT_EQ(DoneMessages(), 1u);
  EXPECT_TRUE(ScratchFolder::Exists(CachedSample()));
  EXPECT_FALSE(m_state->samplePlayer.IsPlaying());
  EXPECT_EQ(m_instance.Count(kSamplePath), 1);

  // Cached: the second play needs no network at all.
  VoiceSampleRequest* offline = NewRequest();
  offline->mp3Url = L"https://127.0.0.1:1/unreachable.mp3";
  EXPECT_EQ(RunThread(PlayVoiceSampleThread, offline), 0u);
  EXPECT_EQ(DoneMessages(), 1u);
  EXPECT_EQ(m_instance.Count(kSamplePath), 1);
}

TEST_F(VoiceSampleTest, ADownloadThatIsNotAudioIsNotCached) {
  for (const char* fault : {R"({"body":"<html>no such sample</html>"})", R"({"http_status":404})"}) {
    ASSERT_TRUE(m_instance.Script(kSamplePath, fault));
    EXPECT_EQ(RunThread(PlayVoiceSampleThread, NewRequest()), static_cast<DWORD>(-1)) << fault;
    EXPECT_EQ(DoneMessages(), 0u) << fault;
    EXPECT_FALSE(ScratchFolder::Exists(CachedSample())) << fault;
    EXPECT_FALSE(ScratchFolder::Exists(CachedSample() + L".download")) << fault;
    EXPECT_FALSE(m_state->samplePlayer.IsPlaying());
  }
  // The next play fetches it again and keeps it.
  EXPECT_EQ(RunThread(PlayVoiceSampleThread, NewRequest()), 0u);
  EXPECT_TRUE(ScratchFolder::Exists(CachedSample()));
}

TEST_F(VoiceSampleTest, AWindowStopsThePlayingSample) {
  HANDLE thread = CreateThread(nullptr, 0, PlayVoiceSampleThread, NewRequest(), 0, nullptr);
  ASSERT_NE(thread, nullptr);
  const DWORD start = GetTickCount();
  while (!m_state->samplePlayer.IsPlaying() && GetTickCount() - start < 30000) Sleep(5);
  ASSERT_TRUE(m_state->samplePlayer.IsPlaying());
  Sleep(200);
  const DWORD stopAt = GetTickCount();
  m_state->samplePlayer.StopPlaying();
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_LT(GetTickCount() - stopAt, 1000u) << "the sample ends soon after it was stopped";
  CloseHandle(thread);
  EXPECT_EQ(m_window.WaitFor(1).size(), 1u);
}
