// The worker of a voice-sample playback against the stand-in speech service:
// a sample is downloaded once into the cache and its arrival reported to the
// window; a download that is not audio is never cached; a stopped worker
// abandons its download and reports nothing.
#include "core/catalog/VoiceSample.h"

#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "tests/core/client/StandinClientTest.h"

#include <vector>

namespace {

constexpr int kVoice = 100510000;
const char kSamplePath[] = "/colud/tts/samples/100510000.mp3";

class VoiceSampleTest : public StandinClientTest {
 protected:
  VoiceSampleRequest Request(UINT_PTR number) const {
    VoiceSampleRequest request;
    request.voiceType = kVoice;
    request.cacheFolder = m_folder.path();
    request.mp3Url = Utf8ToWide(m_instance.urls().speechHttps + kSamplePath);
    request.notifyWindow = m_window.handle();
    request.number = number;
    return request;
  }
  std::wstring CachedSample() const { return m_folder / (L"voiceType_" + std::to_wstring(kVoice) + L".mp3"); }
  // Starts the worker of `request`; the fetch messages that arrived once it ended.
  std::vector<MessageWindow::Message> Fetch(const VoiceSampleRequest& request) {
    WorkerThread worker;
    EXPECT_TRUE(Start(worker, request));
    EXPECT_TRUE(worker.Join(60000));
    return FetchMessages();
  }
  bool Start(WorkerThread& worker, const VoiceSampleRequest& request) {
    m_window.Clear();
    const HttpClient& client = m_state->httpClient;
    return worker.Start([request, &client](const StopToken& stop) { PlayVoiceSampleThread(request, client, stop); });
  }
  std::vector<MessageWindow::Message> FetchMessages() {
    std::vector<MessageWindow::Message> fetched;
    for (const MessageWindow::Message& m : m_window.Pump()) {
      if (m.message == kSampleFetchedMessage) fetched.push_back(m);
    }
    return fetched;
  }
};

}  // namespace

TEST_F(VoiceSampleTest, DownloadsOnceAndReportsItsArrival) {
  std::vector<MessageWindow::Message> fetched = Fetch(Request(7));
  ASSERT_EQ(fetched.size(), 1u);
  EXPECT_EQ(fetched[0].wParam, 7u);
  EXPECT_EQ(fetched[0].lParam, 1);
  EXPECT_TRUE(ScratchFolder::Exists(CachedSample()));
  EXPECT_EQ(m_instance.Count(kSamplePath), 1);

  // Cached: the second play needs no network at all.
  VoiceSampleRequest offline = Request(8);
  offline.mp3Url = L"https://127.0.0.1:1/unreachable.mp3";
  fetched = Fetch(offline);
  ASSERT_EQ(fetched.size(), 1u);
  EXPECT_EQ(fetched[0].lParam, 1);
  EXPECT_EQ(m_instance.Count(kSamplePath), 1);
}

TEST_F(VoiceSampleTest, ADownloadThatIsNotAudioIsNotCached) {
  for (const char* fault : {R"({"body":"<html>no such sample</html>"})", R"({"http_status":404})"}) {
    ASSERT_TRUE(m_instance.Script(kSamplePath, fault));
    const std::vector<MessageWindow::Message> fetched = Fetch(Request(1));
    ASSERT_EQ(fetched.size(), 1u) << fault;
    EXPECT_EQ(fetched[0].lParam, 0) << fault;
    EXPECT_FALSE(ScratchFolder::Exists(CachedSample())) << fault;
    EXPECT_FALSE(ScratchFolder::Exists(CachedSample() + L".1.download")) << fault;
  }
  // The next play fetches it again and keeps it.
  const std::vector<MessageWindow::Message> fetched = Fetch(Request(2));
  ASSERT_EQ(fetched.size(), 1u);
  EXPECT_EQ(fetched[0].lParam, 1);
  EXPECT_TRUE(ScratchFolder::Exists(CachedSample()));
}

TEST_F(VoiceSampleTest, AStoppedWorkerAbandonsItsDownloadAndReportsNothing) {
  ASSERT_TRUE(m_instance.Script(kSamplePath, R"({"delay_ms":20000})"));
  WorkerThread worker;
  ASSERT_TRUE(Start(worker, Request(3)));
  Sleep(1000);  // the request is out and its reply delayed
  const DWORD stopAt = GetTickCount();
  EXPECT_TRUE(worker.Stop(5000));
  EXPECT_LT(GetTickCount() - stopAt, 5000u) << "the download was abandoned, not waited out";
  m_window.WaitFor(1, 500);
  EXPECT_TRUE(FetchMessages().empty());
  EXPECT_FALSE(ScratchFolder::Exists(CachedSample()));
  EXPECT_FALSE(ScratchFolder::Exists(CachedSample() + L".3.download"));
}
