#include "app/voice/VoiceSampleWnd.h"

#include "core/base/UserMessage.h"
#include "ui/control/ControlUI.h"

using namespace Trellis;

const wchar_t kSampleFailedMessage[] = L"试听音频获取失败，请检查网络后重试！";

namespace {
constexpr DWORD kVoiceWindowStyle = 0x90000000;  // WS_POPUP | WS_VISIBLE; the skin gives the size

CControlUI* ItemOf(CControlUI* button) {
  CControlUI* root = button != nullptr ? button->GetParent() : nullptr;
  return root != nullptr ? root->GetParent() : nullptr;
}
}  // namespace

CVoiceSampleWnd::CVoiceSampleWnd(const HttpClient& client, std::wstring sampleFolder)
    : m_playback(client, std::move(sampleFolder)) {}

CVoiceSampleWnd::~CVoiceSampleWnd() = default;

void CVoiceSampleWnd::OnLastMessage(HWND hWnd) {
  WindowImplBase::OnLastMessage(hWnd);
  delete this;
}

CUIString CVoiceSampleWnd::GetSkinFolder() { return CUIString(L""); }

bool CVoiceSampleWnd::Open(HWND owner, const wchar_t* title) {
  if (CreateWithSize(owner, title, kVoiceWindowStyle, 0) == nullptr) return false;
  m_playback.SetWindow(GetHandle());
  CenterOnOwner();
  return true;
}

LRESULT CVoiceSampleWnd::OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  StopSample();
  return WindowImplBase::OnDestroy(message, wParam, lParam, handled);
}

LRESULT CVoiceSampleWnd::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  bool ours = false;
  switch (m_playback.OnMessage(message, wParam, lParam, ours)) {
    case VoiceSamplePlayback::Outcome::Finished:
      // Only the end of the sample that plays now gets here (the playback
      // ignores an earlier one's), so another card is never reset.
      ForgetPlayingItem();
      break;
    case VoiceSamplePlayback::Outcome::Failed:
      ForgetPlayingItem();
      ShowUserMessage(GetHandle(), kSampleFailedMessage);
      break;
    case VoiceSamplePlayback::Outcome::Playing:
    case VoiceSamplePlayback::Outcome::None:
      break;
  }
  if (!ours) handled = false;
  return 0;
}

void CVoiceSampleWnd::PlaySample(CControlUI* playButton) {
  CControlUI* item = ItemOf(playButton);
  const VoiceInfo* voice = VoiceOfItem(item);
  if (voice == nullptr) return;
  ShowPlayState(item, true);
  if (item == m_playingItem) {
    m_playback.Resume();
    return;
  }
  if (m_playingItem != nullptr) ShowPlayState(m_playingItem, false);
  m_playingItem = item;
  m_playback.Start(*voice);
}

void CVoiceSampleWnd::PauseSample(CControlUI* pauseButton) {
  ShowPlayState(ItemOf(pauseButton), false);
  m_playback.Pause();
}

void CVoiceSampleWnd::StopSample() {
  m_playback.Stop();
  ForgetPlayingItem();
}

void CVoiceSampleWnd::ForgetPlayingItem() {
  if (m_playingItem != nullptr) ShowPlayState(m_playingItem, false);
  m_playingItem = nullptr;
}

void CVoiceSampleWnd::ShowPlayState(CControlUI* item, bool sounding) {
  if (item == nullptr) return;
  if (CControlUI* play = m_pm.FindSubControlByName(item, L"btnPlay")) play->SetVisible(!sounding);
  if (CControlUI* pause = m_pm.FindSubControlByName(item, L"btnSuspend")) pause->SetVisible(sounding);
}
