#include "app/pages/TextToSpeechPreview.h"

#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"

namespace {
constexpr DWORD kWaiterStopMs = 2000;  // the waiter looks at its token every few milliseconds
}  // namespace

struct PreviewSession {
  AudioPlayer* previewPlayer = CreateAudioPlayer();  // owned: stopped and released with the session
  HWND window = nullptr;                             // gets WM_APP_PLAYBACK_DONE
  UINT id = 0;
  ~PreviewSession() {
    previewPlayer->Stop();
    previewPlayer->Release();
  }
};

void PlaybackThread(const std::shared_ptr<PreviewSession>& session, const StopToken& stop) {
  WaitWhilePlaying(session->previewPlayer, [&stop] { return !stop.StopRequested(); });
  if (!stop.StopRequested()) PostMessageW(session->window, WM_APP_PLAYBACK_DONE, session->id, 0);
}

void PreviewPlayback::Start(const std::wstring& path, HWND window, UINT id) {
  Stop();
  auto session = std::make_shared<PreviewSession>();
  session->window = window;
  session->id = id;
  if (!session->previewPlayer->OpenFile(WideToAnsi(path).c_str(), kAudioFormatDetect)) {
    DebugTrace(L"open file error");
  } else if (!session->previewPlayer->Play()) {
    DebugTrace(L"text-to-speech: the preview does not play");
  }
  m_session = session;
  if (!m_waiter.Start([session](const StopToken& stop) { PlaybackThread(session, stop); })) {
    DebugTrace(L"text-to-speech: playback thread not started");
    PostMessageW(window, WM_APP_PLAYBACK_DONE, id, 0);
  }
}

void PreviewPlayback::Stop() {
  if (!m_waiter.Stop(kWaiterStopMs)) {
    DebugTrace(L"text-to-speech: playback thread still waiting; it releases the player itself");
  }
  m_session.reset();  // the last holder stops and releases the player
}

AudioPlayerStatus PreviewPlayback::Status() const {
  return m_session != nullptr ? m_session->previewPlayer->GetStatus() : AudioPlayerStatus{};
}

void PreviewPlayback::Pause() {
  if (m_session != nullptr) m_session->previewPlayer->Pause();
}

void PreviewPlayback::Resume() {
  if (m_session != nullptr) m_session->previewPlayer->Resume();
}

bool PreviewPlayback::IsCurrent(UINT id) const { return m_session != nullptr && m_session->id == id; }
