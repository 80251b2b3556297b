#include "app/voice/VoiceSamplePlayback.h"

#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"

VoiceSamplePlayback::VoiceSamplePlayback(const HttpClient& client, std::wstring cacheFolder)
    : m_client(client), m_cacheFolder(std::move(cacheFolder)) {}

VoiceSamplePlayback::~VoiceSamplePlayback() { Stop(); }

void VoiceSamplePlayback::Start(const VoiceInfo& voice) {
  StopWorker(0);  // the new sample is not kept waiting for the old transfer
  ReleasePlayer();
  m_startPaused = false;

  VoiceSampleRequest request;
  request.voiceType = voice.voiceType;
  request.cacheFolder = m_cacheFolder;
  request.mp3Url = voice.mp3;
  request.notifyWindow = m_window;
  request.number = ++m_lastNumber;
  m_samplePath = VoiceSamplePath(request);
  m_fetching = true;
  if (voice.mp3.find(L"://") == std::wstring::npos) {
    // The catalogue gave no address: nothing to ask the server for.
    PostMessageW(m_window, kSampleFetchedMessage, request.number, 0);
    return;
  }
  const bool started = m_worker.Start([request, client = m_client](const StopToken& stop) {
    PlayVoiceSampleThread(request, client, stop);
  });
  if (!started) {
    // Reported like any failed fetch, through the window's message.
    PostMessageW(m_window, kSampleFetchedMessage, request.number, 0);
  }
}

void VoiceSamplePlayback::Pause() {
  if (m_samplePlayer != nullptr) m_samplePlayer->Pause();
  else if (m_fetching) m_startPaused = true;
}

void VoiceSamplePlayback::Resume() {
  if (m_samplePlayer != nullptr) m_samplePlayer->Resume();
  m_startPaused = false;
}

void VoiceSamplePlayback::Stop() {
  StopWorker(kSampleFetchStopWaitMs);
  ReleasePlayer();
  m_startPaused = false;
}

AudioPlayerStatus VoiceSamplePlayback::GetStatus() const {
  return m_samplePlayer != nullptr ? m_samplePlayer->GetStatus() : AudioPlayerStatus{};
}

void VoiceSamplePlayback::StopWorker(DWORD waitMs) {
  // A worker that does not end in time holds only its own copies and ends
  // once its transfer gives up.
  m_worker.Stop(waitMs);
  m_fetching = false;
}

void VoiceSamplePlayback::ReleasePlayer() {
  if (m_samplePlayer == nullptr) return;
  m_samplePlayer->Release();
  m_samplePlayer = nullptr;
}

VoiceSamplePlayback::Outcome VoiceSamplePlayback::OnMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                            bool& handled) {
  if (message == kSampleFetchedMessage) {
    handled = true;
    return OnFetched(static_cast<UINT_PTR>(wParam), lParam == 1);
  }
  if (message == WM_APP_SAMPLE_DONE) {
    handled = true;
    // The end of an earlier sample, posted just before it was released, is not this one's.
    if (static_cast<UINT_PTR>(wParam) != m_lastNumber || m_samplePlayer == nullptr) return Outcome::None;
    ReleasePlayer();
    return Outcome::Finished;
  }
  return Outcome::None;
}

VoiceSamplePlayback::Outcome VoiceSamplePlayback::OnFetched(UINT_PTR number, bool arrived) {
  if (number != m_lastNumber || !m_fetching) return Outcome::None;  // an earlier sample's worker
  m_fetching = false;
  m_worker.Join(kSampleFetchStopWaitMs);  // it has posted its last word and is ending
  if (!arrived) return Outcome::Failed;

  AudioPlayer* player = CreateAudioPlayer();
  if (!player->OpenFile(WideToAnsi(m_samplePath).c_str(), kAudioFormatDetect)) {
    player->Release();
    // A cached file that does not open is damaged: the next try fetches it again.
    DeleteFileW(m_samplePath.c_str());
    return Outcome::Failed;
  }
  player->SetEndMessage(m_window, WM_APP_SAMPLE_DONE, number);
  if (!player->Play()) {
    player->Release();
    return Outcome::Failed;
  }
  m_samplePlayer = player;
  if (m_startPaused) m_samplePlayer->Pause();
  m_startPaused = false;
  return Outcome::Playing;
}
