#include "app/pages/TextToSpeechPreview.h"

#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"

#include <atomic>

namespace {
constexpr DWORD kWaiterStopMs = 2000;  // the waiter looks at its flag every few milliseconds
}  // namespace

struct PreviewSession {
  AudioPlayer* player = CreateAudioPlayer();
  std::atomic<bool> stop{false};
  HWND window = nullptr;
  UINT id = 0;
  ~PreviewSession() {
    player->Stop();
    player->Release();
  }
};

namespace {

DWORD WINAPI WaitForPlaybackEnd(void* parameter) {
  std::unique_ptr<std::shared_ptr<PreviewSession>> owned(static_cast<std::shared_ptr<PreviewSession>*>(parameter));
  PreviewSession& session = **owned;
  WaitWhilePlaying(session.player, [&session] { return !session.stop.load(); });
  if (!session.stop.load()) PostMessageW(session.window, WM_APP_PLAYBACK_DONE, session.id, 0);
  return 0;
}

}  // namespace

void PreviewPlayback::Start(const std::wstring& path, HWND window, UINT id) {
  Stop();
  auto session = std::make_shared<PreviewSession>();
  session->window = window;
  session->id = id;
  if (!session->player->OpenFile(WideToAnsi(path).c_str(), kAudioFormatDetect)) {
    DebugTrace(L"open file error");
  } else if (!session->player->Play()) {
    DebugTrace(L"text-to-speech: the preview does not play");
  }
  auto* parameter = new std::shared_ptr<PreviewSession>(session);
  m_waiter.Reset(CreateThread(nullptr, 0, WaitForPlaybackEnd, parameter, 0, nullptr));
  m_session = std::move(session);
  if (!m_waiter) {
    delete parameter;
    DebugTrace(L"text-to-speech: playback thread not started (error %lu)", GetLastError());
    PostMessageW(window, WM_APP_PLAYBACK_DONE, id, 0);
  }
}

void PreviewPlayback::Stop() {
  if (m_session != nullptr) m_session->stop.store(true);
  if (m_waiter && WaitForSingleObject(m_waiter.Get(), kWaiterStopMs) == WAIT_TIMEOUT) {
    DebugTrace(L"text-to-speech: playback thread still waiting; it releases the player itself");
  }
  m_waiter.Reset();
  m_session.reset();  // the last holder stops and releases the player
}

AudioPlayerStatus PreviewPlayback::Status() const {
  return m_session != nullptr ? m_session->player->GetStatus() : AudioPlayerStatus{};
}

void PreviewPlayback::Pause() {
  if (m_session != nullptr) m_session->player->Pause();
}

void PreviewPlayback::Resume() {
  if (m_session != nullptr) m_session->player->Resume();
}

bool PreviewPlayback::IsCurrent(UINT id) const { return m_session != nullptr && m_session->id == id; }
