#include "app/voice/VoiceSamplePlayback.h"

#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "core/catalog/VoiceSample.h"

struct VoiceSamplePlayback::Fetch {
  HttpClient client;
  std::string ansiUrl;
  std::wstring samplePath;
  HWND window = nullptr;
  UINT_PTR number = 0;
  StopToken stop;
};

namespace {

DWORD WINAPI FetchSampleThread(LPVOID parameter) {
  std::unique_ptr<std::shared_ptr<VoiceSamplePlayback::Fetch>> holder(
      static_cast<std::shared_ptr<VoiceSamplePlayback::Fetch>*>(parameter));
  VoiceSamplePlayback::Fetch& fetch = **holder;
  bool arrived = GetFileAttributesW(fetch.samplePath.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!arrived) {
    // A part file of this fetch's own: an abandoned fetch of the same voice may still be writing its own.
    arrived = DownloadVoiceSample(fetch.client, fetch.ansiUrl, fetch.samplePath, L"." + std::to_wstring(fetch.number),
                                  &fetch.stop);
  }
  if (!fetch.stop.StopRequested()) PostMessageW(fetch.window, kSampleFetchedMessage, fetch.number, arrived ? 1 : 0);
  return 0;
}

}  // namespace

VoiceSamplePlayback::VoiceSamplePlayback(const HttpClient& client, std::wstring cacheFolder)
    : m_client(client), m_cacheFolder(std::move(cacheFolder)) {}

VoiceSamplePlayback::~VoiceSamplePlayback() { Stop(); }

void VoiceSamplePlayback::Start(const VoiceInfo& voice) {
  CancelFetch(0);  // the new sample is not kept waiting for the old transfer
  ReleasePlayer();
  m_startPaused = false;
  m_samplePath = m_cacheFolder + L"voiceType_" + std::to_wstring(voice.voiceType) + L".mp3";

  auto fetch = std::make_shared<Fetch>();
  fetch->client = m_client;
  fetch->ansiUrl = WideToAnsi(voice.mp3);
  fetch->samplePath = m_samplePath;
  fetch->window = m_window;
  fetch->number = ++m_lastNumber;
  if (voice.mp3.find(L"://") == std::wstring::npos) {
    // The catalogue gave no address: nothing to ask the server for.
    PostMessageW(m_window, kSampleFetchedMessage, fetch->number, 0);
    m_fetch = std::move(fetch);
    return;
  }
  auto* handover = new std::shared_ptr<Fetch>(fetch);
  HANDLE thread = CreateThread(nullptr, 0, FetchSampleThread, handover, 0, nullptr);
  if (thread == nullptr) {
    DebugTrace(L"voice sample: no fetch thread (%lu)", GetLastError());
    delete handover;
    // Reported like any failed fetch, through the window's message.
    PostMessageW(m_window, kSampleFetchedMessage, fetch->number, 0);
    m_fetch = std::move(fetch);
    return;
  }
  m_fetch = std::move(fetch);
  m_fetchThread.Reset(thread);
}

void VoiceSamplePlayback::Pause() {
  if (m_player != nullptr) m_player->Pause();
  else if (m_fetch != nullptr) m_startPaused = true;
}

void VoiceSamplePlayback::Resume() {
  if (m_player != nullptr) m_player->Resume();
  m_startPaused = false;
}

void VoiceSamplePlayback::Stop() {
  CancelFetch(kSampleFetchStopWaitMs);
  ReleasePlayer();
  m_startPaused = false;
}

AudioPlayerStatus VoiceSamplePlayback::GetStatus() const {
  return m_player != nullptr ? m_player->GetStatus() : AudioPlayerStatus{};
}

void VoiceSamplePlayback::CancelFetch(DWORD waitMs) {
  if (m_fetch != nullptr) m_fetch->stop.RequestStop();
  if (m_fetchThread && waitMs > 0 && WaitForSingleObject(m_fetchThread.Get(), waitMs) == WAIT_TIMEOUT) {
    // It holds only its own record and ends once its transfer gives up.
    DebugTrace(L"voice sample: a cancelled fetch is still running; left to end by itself");
  }
  m_fetchThread.Reset();
  m_fetch.reset();
}

void VoiceSamplePlayback::ReleasePlayer() {
  if (m_window != nullptr) KillTimer(m_window, kSampleTimerId);
  if (m_player == nullptr) return;
  m_player->Release();
  m_player = nullptr;
}

VoiceSamplePlayback::Outcome VoiceSamplePlayback::OnMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                            bool& handled) {
  if (message == kSampleFetchedMessage) {
    handled = true;
    return OnFetched(static_cast<UINT_PTR>(wParam), lParam == 1);
  }
  if (message == WM_TIMER && wParam == kSampleTimerId) {
    handled = true;
    if (m_player == nullptr) {
      KillTimer(m_window, kSampleTimerId);
      return Outcome::None;
    }
    const AudioPlayerStatus status = m_player->GetStatus();
    if (status.playing || status.paused) return Outcome::None;
    ReleasePlayer();
    return Outcome::Finished;
  }
  return Outcome::None;
}

VoiceSamplePlayback::Outcome VoiceSamplePlayback::OnFetched(UINT_PTR number, bool arrived) {
  if (number != m_lastNumber || m_fetch == nullptr) return Outcome::None;  // an earlier sample's fetch
  m_fetchThread.Reset();  // it has posted its last word and is ending
  m_fetch.reset();
  if (!arrived) return Outcome::Failed;

  AudioPlayer* player = CreateAudioPlayer();
  if (!player->OpenFile(WideToAnsi(m_samplePath).c_str(), kAudioFormatDetect)) {
    player->Release();
    // A cached file that does not open is damaged: the next try fetches it again.
    DeleteFileW(m_samplePath.c_str());
    return Outcome::Failed;
  }
  if (!player->Play()) {
    player->Release();
    return Outcome::Failed;
  }
  m_player = player;
  if (m_startPaused) m_player->Pause();
  m_startPaused = false;
  SetTimer(m_window, kSampleTimerId, kSampleTimerMs, nullptr);
  return Outcome::Playing;
}
